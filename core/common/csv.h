#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Comma-separated values as spreadsheets write them: fields in double quotes may hold commas,
// line breaks and doubled quotes; lines end in CRLF or LF; a UTF-8 byte order mark is skipped.
namespace csv {

// All records of a text. Blank lines make no records. A quote that is never closed takes the
// rest of the text into its field; `unclosedQuote`, when given, then gets the 1-based number of
// the record it opened in (else 0). `recordLines`, when given, gets the 1-based line of the text
// each record starts on.
QList<QStringList> parse(const QString &text, int *unclosedQuote = nullptr,
                         QList<int> *recordLines = nullptr);

// One record, fields quoted only where they must be, no line end.
QString formatRecord(const QStringList &fields);

// The header's column index for each wanted name (without regard to case), -1 when absent.
QList<int> columnIndexes(const QStringList &header, const QStringList &wanted);

} // namespace csv
