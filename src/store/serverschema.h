#pragma once

// The parts of the store that only server banks have (serverbank.cpp).

#include "store/serverlocation.h"

#include <QString>

namespace zs {

// Makes the bank's tables, with the server's own, in an existing database
// that holds no bank yet.
void createServerTables(const ServerLocation& location);

// The statement listing a table's columns (column "name"), empty for a
// missing table.
QString serverColumnsQuery(const QString& table);

// Hands a connection back when its Bank ends: kept for the next operation of
// this thread when `reusable`, closed otherwise.
void releaseServerConnection(const QString& connection, const QString& location, bool reusable);

}  // namespace zs
