#include "core/document/project_file.h"

#include "core/common/number_text.h"
#include "core/common/text_decoding.h"
#include "core/engine/map_crs.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>

#include <cmath>

using namespace Qt::StringLiterals;

QColor colorFromProject(quint32 number)
{
    return QColor(int(number & 0xFF), int((number >> 8) & 0xFF), int((number >> 16) & 0xFF));
}

quint32 projectColor(const QColor &color)
{
    return quint32(color.red()) | (quint32(color.green()) << 8) | (quint32(color.blue()) << 16);
}

namespace {

QString flag(bool b)
{
    return b ? u"True"_s : u"False"_s;
}

// Text of a size as the engine writes it: whole sizes without a point.
QString sizeText(double size)
{
    return formatNumber(size);
}

std::optional<bool> toBool(const QString &value)
{
    if (value.compare(u"True"_s, Qt::CaseInsensitive) == 0)
        return true;
    if (value.compare(u"False"_s, Qt::CaseInsensitive) == 0)
        return false;
    if (const auto n = parseNumber(value))
        return *n != 0;
    return std::nullopt;
}

std::optional<QColor> toColor(const QString &value)
{
    const auto n = parseNumber(value);
    if (!n)
        return std::nullopt;
    const double r = std::nearbyint(*n);
    if (r < 0 || r > 16777215.0)
        return std::nullopt;
    return colorFromProject(quint32(r));
}

class LineReader
{
public:
    explicit LineReader(const QString &text)
    {
        m_lines = text.split(u'\n');
        for (QString &l : m_lines) {
            if (l.endsWith(u'\r'))
                l.chop(1);
        }
        // A final line end leaves one empty piece that is no line.
        if (!m_lines.isEmpty() && m_lines.last().isEmpty())
            m_lines.removeLast();
    }

    // The value of the next line when its key is `key`; otherwise the message for it.
    std::optional<QString> expect(const QString &key, QString *error)
    {
        const QString prefix = u"Error looking for line '"_s + key + u" ='"_s;
        if (m_next >= m_lines.size()) {
            *error = prefix + u"; the file ends there."_s;
            return std::nullopt;
        }
        const QString line = m_lines[m_next++];
        const qsizetype keyEnd = line.indexOf(u" ="_s);
        if (keyEnd < 0 || line.left(keyEnd) != key) {
            *error = prefix + u"; got '"_s + line;
            return std::nullopt;
        }
        m_lastLine = line;
        const qsizetype equals = line.indexOf(u'=');
        return line.mid(equals + 2); // the one character after "=" (the blank) is dropped
    }
    // For a value that does not convert: reported like a wrong key, with the line.
    QString badValue(const QString &key) const
    {
        return u"Error looking for line '"_s + key + u" ='; got '"_s + m_lastLine;
    }
    const QString &lastLine() const { return m_lastLine; }
    // The lines not read yet.
    QStringList rest() const { return m_lines.mid(m_next); }

private:
    QStringList m_lines;
    qsizetype m_next = 0;
    QString m_lastLine;
};

std::optional<double> toSize(const QString &v)
{
    const auto n = parseNumber(v);
    if (!n || std::fabs(*n) > 2147483647.0)
        return std::nullopt;
    return std::nearbyint(*n);
}

std::optional<qint16> toStyle(const QString &v)
{
    const auto n = parseNumber(v);
    return n ? toInt16(*n) : std::nullopt;
}

// After the blocks: the lines this version adds ("PLSS Fields 2 = ...", for the themes kept,
// `kept` giving each one's place in the file, and "Wells = ..."); any other line is left for
// later versions.
void readFieldLines(const QStringList &rest, const QList<qsizetype> &kept, ParsedProject &out)
{
    static const QRegularExpression fieldsLine(u"^PLSS Fields (\\d+) = (.*)$"_s);
    static const QRegularExpression wellsLine(u"^Wells = (.*)$"_s);
    static const QRegularExpression labelsLine(u"^Labels (\\d+) = (.*)$"_s);
    for (const QString &line : rest) {
        if (const QRegularExpressionMatch l = labelsLine.match(line); l.hasMatch()) {
            const qsizetype at = kept.indexOf(l.captured(1).toLongLong());
            if (at >= 0)
                out.themes[at].labelField = l.captured(2).trimmed();
            continue;
        }
        if (const QRegularExpressionMatch w = wellsLine.match(line); w.hasMatch())
            out.wellsSource = w.captured(1).trimmed();
        if (line.startsWith(u"Print Title = "_s))
            out.printTitle = line.mid(14).trimmed();
        const QRegularExpressionMatch m = fieldsLine.match(line);
        const qsizetype at = m.hasMatch() ? kept.indexOf(m.captured(1).toLongLong()) : -1;
        if (at >= 0)
            out.themes[at].plssFields = m.captured(2).trimmed();
    }
}

} // namespace

QByteArray writeProject(const QList<ProjectTheme> &themes, const QString &wellsSource,
                        const QString &printTitle)
{
    QStringList lines;
    lines.append(u"Number of themes = "_s + QString::number(themes.size()));
    for (const ProjectTheme &t : themes) {
        lines.append(u"Title = "_s + t.title);
        lines.append(u"Path = "_s + t.path);
        lines.append(u"IsActive = "_s + flag(t.active));
        lines.append(u"IsVisible = "_s + flag(t.visible));
        lines.append(u"IsMap = "_s + (t.isMap ? u"1"_s : u"0"_s));
        if (t.isMap) {
            lines.append(u"Color = "_s + QString::number(projectColor(t.color)));
            lines.append(u"OutlineColor = "_s + QString::number(projectColor(t.outlineColor)));
            lines.append(u"Size = "_s + sizeText(t.size));
            lines.append(u"Symbol = "_s + QString::number(t.style));
        }
    }
    for (qsizetype i = 0; i < themes.size(); ++i) {
        if (!themes[i].plssFields.isEmpty())
            lines.append(u"PLSS Fields "_s + QString::number(i + 1) + u" = "_s +
                         themes[i].plssFields);
    }
    for (qsizetype i = 0; i < themes.size(); ++i) {
        if (!themes[i].labelField.isEmpty())
            lines.append(u"Labels "_s + QString::number(i + 1) + u" = "_s + themes[i].labelField);
    }
    if (!wellsSource.isEmpty())
        lines.append(u"Wells = "_s + wellsSource);
    if (!printTitle.isEmpty())
        lines.append(u"Print Title = "_s + printTitle);
    return (lines.join(u"\r\n"_s) + u"\r\n"_s).toUtf8();
}

ParsedProject readProject(const QByteArray &bytes)
{
    ParsedProject out;
    LineReader in(decodeUtf8OrWindows1252(bytes));
    QString &error = out.error;
    const auto count = in.expect(u"Number of themes"_s, &error);
    if (!count)
        return out;
    const auto n = parseNumber(*count);
    const auto themes = n ? toInt16(*n) : std::nullopt;
    if (!themes) {
        error = in.badValue(u"Number of themes"_s);
        return out;
    }
    out.isProject = true;
    QList<qsizetype> kept; // for each theme read, its place in the file
    for (int i = 0; i < *themes; ++i) {
        const auto title = in.expect(u"Title"_s, &error);
        if (!title)
            return out;
        const auto path = in.expect(u"Path"_s, &error);
        if (!path)
            return out;
        // What was read of a block stays even when the reading stops inside it.
        out.themes.append({*title, *path, {}, {}, {}, {}, {}, {}, {}, {}, {}});
        ProjectBlock &b = out.themes.last();
        // A value that does not convert spoils its own theme only: the block's lines are read
        // on, so the themes after it are found where they should be. A missing or wrong key
        // still ends the reading, as nothing after it can be trusted.
        QString badLine;
        auto value = [&](const QString &key, auto convert, auto &target) {
            const auto v = in.expect(key, &error);
            if (!v)
                return false;
            target = convert(*v);
            if (!target && badLine.isEmpty())
                badLine = in.lastLine();
            return true;
        };
        kept.append(i + 1);
        auto leaveOut = [&] {
            out.skipped.append(u"The theme "_s + *title + u" was left out: its line '"_s + badLine +
                               u"' holds no value that can be read."_s);
            out.themes.removeLast();
            kept.removeLast();
        };
        bool complete =
            value(u"IsActive"_s, toBool, b.active) && value(u"IsVisible"_s, toBool, b.visible);
        std::optional<QString> isMap;
        if (complete)
            isMap = in.expect(u"IsMap"_s, &error);
        complete = complete && isMap;
        if (complete) {
            const auto m = parseNumber(*isMap); // a value that does not convert counts as 0
            b.isMap = m && toInt16(*m) == qint16(1);
        }
        if (complete && *b.isMap) {
            complete = value(u"Color"_s, toColor, b.color);
            std::optional<QString> outline;
            if (complete)
                outline = in.expect(u"OutlineColor"_s, &error);
            complete = complete && outline;
            if (complete) // one the engine would refuse stays as it was
                b.outlineColor = toColor(*outline);
            complete = complete && value(u"Size"_s, toSize, b.size) &&
                       value(u"Symbol"_s, toStyle, b.style);
        }
        if (!badLine.isEmpty())
            leaveOut();
        if (!complete)
            return out;
    }
    readFieldLines(in.rest(), kept, out);
    return out;
}

void resolveRelativePaths(ParsedProject &project, const QString &projectFile)
{
    const QDir folder = QFileInfo(projectFile).absoluteDir();
    for (ProjectBlock &b : project.themes) {
        // A database connection is no path.
        if (!b.path.isEmpty() && QFileInfo(b.path).isRelative() && !isDatabaseSource(b.path))
            b.path = QDir::cleanPath(folder.filePath(b.path));
    }
    const QString &wells = project.wellsSource;
    if (!wells.isEmpty() && !isDatabaseSource(wells) && QFileInfo(wells).isRelative())
        project.wellsSource = QDir::cleanPath(folder.filePath(wells));
}
