#include "core/common/csv.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace csv {

QList<QStringList> parse(const QString &input, int *unclosedQuote, QList<int> *recordLines)
{
    if (recordLines)
        recordLines->clear();
    int line = 1;       // the line of the text at i
    int recordLine = 1; // the line the record being read started on
    QList<QStringList> records;
    QStringView text(input);
    if (text.startsWith(QChar(0xFEFF)))
        text = text.mid(1);
    QStringList record;
    QString field;
    bool quoted = false;       // inside a quoted field
    bool fieldStarted = false; // something seen on this record
    int quoteRecord = 0;       // the record the last opened quote belongs to
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            // The run up to the next quote at once.
            if (c != u'"') {
                qsizetype end = i;
                while (end < n && text[end] != u'"')
                    ++end;
                const QStringView run = text.mid(i, end - i);
                line += int(run.count(u'\n'));
                field.append(run);
                i = end - 1;
                continue;
            }
            if (i + 1 < n && text[i + 1] == u'"') {
                field.append(u'"');
                ++i;
            } else {
                quoted = false;
            }
            continue;
        }
        if (c == u'"' && field.isEmpty()) {
            quoted = true;
            quoteRecord = int(records.size()) + 1;
            fieldStarted = true;
        } else if (c == u',') {
            record.append(field);
            field.clear();
            fieldStarted = true;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            if (fieldStarted || !field.isEmpty()) { // blank lines are no records
                record.append(field);
                records.append(record);
                if (recordLines)
                    recordLines->append(recordLine);
            }
            recordLine = ++line;
            record.clear();
            field.clear();
            fieldStarted = false;
        } else {
            // The run of ordinary characters at once.
            qsizetype end = i + 1;
            while (end < n && text[end] != u',' && text[end] != u'\r' && text[end] != u'\n' &&
                   text[end] != u'"')
                ++end;
            field.append(text.mid(i, end - i));
            i = end - 1;
            fieldStarted = true;
        }
    }
    if (fieldStarted || !field.isEmpty()) {
        record.append(field);
        records.append(record);
        if (recordLines)
            recordLines->append(recordLine);
    }
    if (unclosedQuote)
        *unclosedQuote = quoted ? quoteRecord : 0;
    return records;
}

QString formatRecord(const QStringList &fields)
{
    QStringList out;
    out.reserve(fields.size());
    for (const QString &f : fields) {
        const bool quote =
            f.startsWith(u' ') || f.endsWith(u' ') || std::any_of(f.begin(), f.end(), [](QChar c) {
                return c == u',' || c == u'"' || c == u'\n' || c == u'\r';
            });
        if (quote) {
            QString q = f;
            q.replace(u"\""_s, u"\"\""_s);
            out.append(u'"' + q + u'"');
        } else {
            out.append(f);
        }
    }
    return out.join(u',');
}

QList<int> columnIndexes(const QStringList &header, const QStringList &wanted)
{
    QList<int> indexes;
    for (const QString &name : wanted) {
        int found = -1;
        for (int i = 0; i < header.size(); ++i) {
            if (header[i].trimmed().compare(name, Qt::CaseInsensitive) == 0) {
                found = i;
                break;
            }
        }
        indexes.append(found);
    }
    return indexes;
}

} // namespace csv
