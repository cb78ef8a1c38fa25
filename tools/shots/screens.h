#pragma once

#include <QImage>
#include <QString>
#include <functional>

namespace zs {
class RunState;
class SpecTable;
}  // namespace zs

namespace shots {

// One picture of a screen, set up as a teacher would see it.
struct Shot {
    QString name;     // file name without extension
    QString caption;  // what the picture shows
    std::function<QImage(zs::RunState&)> take;
};

// Every screen of the program in the order a new teacher meets them.
QList<Shot> allShots();

// A table of about twenty questions of the demo bank, sorted as for a paper.
void fillTable(zs::RunState& state, zs::SpecTable& table);

// Lets pending events run (previews, layouts) for `ms` milliseconds.
void settle(int ms);

}  // namespace shots
