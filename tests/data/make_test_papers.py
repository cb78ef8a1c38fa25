#!/usr/bin/env python3
"""Writes the Word test papers of tests/data in Word's own file format.

公式与图片.docx: a paper as Word writes it, with a Word equation (OMML) in
question 1, a picture in question 2 and the answers at the end. The office
turns the equation into a formula object when it opens the file.

自动编号.docx: a paper whose questions and sub-questions are numbered by
Word's automatic list numbering ("1．", "（1）"), so that the numbers are not
in the text.

Run from anywhere: python3 tests/data/make_test_papers.py
"""

import os
import struct
import zipfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

NS = (
    'xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" '
    'xmlns:m="http://schemas.openxmlformats.org/officeDocument/2006/math" '
    'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" '
    'xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing" '
    'xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" '
    'xmlns:pic="http://schemas.openxmlformats.org/drawingml/2006/picture"'
)


def png(width, height):
    """A white picture with a black frame."""
    rows = b""
    for y in range(height):
        row = bytearray()
        for x in range(width):
            edge = x in (0, width - 1) or y in (0, height - 1)
            row += b"\x00\x00\x00" if edge else b"\xff\xff\xff"
        rows += b"\x00" + bytes(row)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b"")


def run(text):
    return '<w:r><w:rPr><w:rFonts w:eastAsia="宋体"/></w:rPr><w:t xml:space="preserve">%s</w:t></w:r>' % text


def para(*parts):
    return "<w:p>%s</w:p>" % "".join(parts)


def numbered(num_id, *parts):
    return '<w:p><w:pPr><w:numPr><w:ilvl w:val="0"/><w:numId w:val="%d"/></w:numPr></w:pPr>%s</w:p>' % (
        num_id,
        "".join(parts),
    )


EQUATION = (
    "<m:oMath><m:sSup><m:e><m:r><m:t>x</m:t></m:r></m:e><m:sup><m:r><m:t>2</m:t></m:r></m:sup></m:sSup>"
    "<m:r><m:t>=4</m:t></m:r></m:oMath>"
)

PICTURE = (
    '<w:r><w:drawing><wp:inline distT="0" distB="0" distL="0" distR="0">'
    '<wp:extent cx="914400" cy="685800"/><wp:docPr id="1" name="图片 1"/>'
    '<a:graphic><a:graphicData uri="http://schemas.openxmlformats.org/drawingml/2006/picture">'
    '<pic:pic><pic:nvPicPr><pic:cNvPr id="1" name="image1.png"/><pic:cNvPicPr/></pic:nvPicPr>'
    '<pic:blipFill><a:blip r:embed="rIdImage1"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill>'
    '<pic:spPr><a:xfrm><a:off x="0" y="0"/><a:ext cx="914400" cy="685800"/></a:xfrm>'
    '<a:prstGeom prst="rect"><a:avLst/></a:prstGeom></pic:spPr></pic:pic>'
    "</a:graphicData></a:graphic></wp:inline></w:drawing></w:r>"
)


def document():
    body = "".join(
        [
            para(run("一、选择题（每小题3分）")),
            para(run("1．方程 "), EQUATION, run(" 的一个根是（　　）")),
            para(run("A．2　　B．3")),
            para(run("2．如图所示的图形是（　　）")),
            para(PICTURE),
            para(run("A．正方形　　B．长方形")),
            para(run("二、解答题")),
            para(run("3．解方程：2x＝4。")),
            para(run("参考答案")),
            para(run("1．A　2．B")),
            para(run("3．x＝2")),
        ]
    )
    return '<?xml version="1.0" encoding="UTF-8" standalone="yes"?><w:document %s><w:body>%s</w:body></w:document>' % (NS, body)


CONTENT_TYPES = (
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
    '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
    '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
    '<Default Extension="xml" ContentType="application/xml"/>'
    '<Default Extension="png" ContentType="image/png"/>'
    '<Override PartName="/word/document.xml" '
    'ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>'
    "</Types>"
)

PACKAGE_RELS = (
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
    '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
    '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" '
    'Target="word/document.xml"/></Relationships>'
)

DOCUMENT_RELS = (
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
    '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
    '<Relationship Id="rIdImage1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/image" '
    'Target="media/image1.png"/></Relationships>'
)


NUMBERING = (
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
    '<w:numbering xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">'
    '<w:abstractNum w:abstractNumId="0"><w:lvl w:ilvl="0"><w:start w:val="1"/><w:numFmt w:val="decimal"/>'
    '<w:lvlText w:val="%1．"/><w:lvlJc w:val="left"/></w:lvl></w:abstractNum>'
    '<w:abstractNum w:abstractNumId="1"><w:lvl w:ilvl="0"><w:start w:val="1"/><w:numFmt w:val="decimal"/>'
    '<w:lvlText w:val="（%1）"/><w:lvlJc w:val="left"/></w:lvl></w:abstractNum>'
    '<w:num w:numId="1"><w:abstractNumId w:val="0"/></w:num>'
    '<w:num w:numId="2"><w:abstractNumId w:val="1"/></w:num>'
    "</w:numbering>"
)


def numbered_document():
    body = "".join(
        [
            para(run("一、选择题（每小题2分）")),
            numbered(1, run("下列各数中最大的是（　　）")),
            para(run("A．1　　B．2")),
            numbered(1, run("计算 2+3 的结果是（　　）")),
            para(run("A．5　　B．6")),
            para(run("二、解答题")),
            numbered(1, run("解下列方程：")),
            numbered(2, run("x+1=2；")),
            numbered(2, run("2x=6。")),
            para(run("参考答案")),
            para(run("1．B　2．A")),
            para(run("3．（1）x＝1；（2）x＝3。")),
        ]
    )
    return '<?xml version="1.0" encoding="UTF-8" standalone="yes"?><w:document %s><w:body>%s</w:body></w:document>' % (NS, body)


NUMBERED_CONTENT_TYPES = CONTENT_TYPES.replace(
    "</Types>",
    '<Override PartName="/word/numbering.xml" '
    'ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.numbering+xml"/></Types>',
)

NUMBERED_DOCUMENT_RELS = (
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
    '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
    '<Relationship Id="rIdNumbering" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/numbering" '
    'Target="numbering.xml"/></Relationships>'
)


def write(name, parts):
    path = os.path.join(HERE, name)
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for part, data in parts:
            # Fixed times keep the file the same on every run.
            info = zipfile.ZipInfo(part, date_time=(2024, 9, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, data)
    print(path)


def main():
    write(
        "公式与图片.docx",
        [
            ("[Content_Types].xml", CONTENT_TYPES),
            ("_rels/.rels", PACKAGE_RELS),
            ("word/document.xml", document()),
            ("word/_rels/document.xml.rels", DOCUMENT_RELS),
            ("word/media/image1.png", png(48, 36)),
        ],
    )
    write(
        "自动编号.docx",
        [
            ("[Content_Types].xml", NUMBERED_CONTENT_TYPES),
            ("_rels/.rels", PACKAGE_RELS),
            ("word/document.xml", numbered_document()),
            ("word/_rels/document.xml.rels", NUMBERED_DOCUMENT_RELS),
            ("word/numbering.xml", NUMBERING),
        ],
    )


if __name__ == "__main__":
    main()
