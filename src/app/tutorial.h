#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace zs {

class Office;

// A picture of the tutorial: the file name (without ".png") in the pictures
// folder, and its caption.
struct TutorialPicture {
    QString name;
    QString caption;
};

// One block of the tutorial: a paragraph of text, or a picture.
struct TutorialBlock {
    QString text;
    TutorialPicture picture;  // set when the block is a picture
};

struct TutorialChapter {
    QString title;
    QList<TutorialBlock> blocks;
};

// The tutorial a new teacher reads: one chapter per command of the main menu,
// in the order they are needed.
QList<TutorialChapter> tutorialChapters();

// Writes the tutorial as a Word document. Pictures are taken from
// `picturesFolder` (<name>.png); a missing picture is left out.
void writeTutorial(Office& office, const QString& path, const QString& picturesFolder = {});

}  // namespace zs
