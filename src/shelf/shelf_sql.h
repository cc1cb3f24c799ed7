#pragma once

#include <QString>

class QSqlError;

// What went wrong in a statement, in words for the reader (shelf.cpp).
QString shelfSqlCause(const QSqlError& error);
