#pragma once

#include "office/wordprocessor.h"

#include <QString>

namespace zs::demo {

class FigureFiles;

// Writes a question or answer text (questionset.h) as a Word 97 document at
// `path` through the given word-processor instance: 宋体 小四, bold "【…】"
// leads, figures centred on a line of their own.
void writeDocument(WordInstance& word, const QString& text, const QString& path, FigureFiles& figures);

// The figure names a text uses, in order.
QStringList figuresOf(const QString& text);

}  // namespace zs::demo
