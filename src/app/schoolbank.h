#pragma once

#include "store/serverlocation.h"

#include <QSettings>
#include <QString>

namespace zs {

// The school bank this computer user connected to last (host, port, database,
// user), kept in the user's settings. The password is never kept.
ServerLocation rememberedSchoolBank(QSettings& settings);
void rememberSchoolBank(QSettings& settings, const ServerLocation& location);

// What the connection boxes lack, as the message that says so; empty when the
// location is complete.
QString schoolBankComplaint(const ServerLocation& location);

// Connects to a school bank: checks that the server answers with the given
// password and holds a complete bank. Throws StoreError with the reason.
void openSchoolBank(const QString& location, const QString& password);

// Sets up a school bank in an existing empty database (or schema): the bank's
// tables and a first 元老级用户 with the given password (kept as a hash).
void createSchoolBank(const QString& location, const QString& elderName, const QString& elderPassword);

}  // namespace zs
