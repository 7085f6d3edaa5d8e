#include "legend/project_file.h"

#include "common/number_text.h"
#include "common/text_decoding.h"

#include <QStringDecoder>
#include <QStringList>

#include <cmath>

using namespace Qt::StringLiterals;

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

std::optional<quint32> toColor(const QString &value)
{
    const auto n = parseNumber(value);
    if (!n)
        return std::nullopt;
    const double r = std::nearbyint(*n);
    if (r < 0 || r > 16777215.0)
        return std::nullopt;
    return quint32(r);
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

private:
    QStringList m_lines;
    qsizetype m_next = 0;
    QString m_lastLine;
};

} // namespace

QByteArray writeProject(const QList<ProjectTheme> &themes)
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
            lines.append(u"Color = "_s + QString::number(t.color));
            lines.append(u"OutlineColor = "_s + QString::number(t.outlineColor));
            lines.append(u"Size = "_s + sizeText(t.size));
            lines.append(u"Symbol = "_s + QString::number(t.style));
        }
    }
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
    for (int i = 0; i < *themes; ++i) {
        const auto title = in.expect(u"Title"_s, &error);
        if (!title)
            return out;
        const auto path = in.expect(u"Path"_s, &error);
        if (!path)
            return out;
        out.themes.append({*title, *path, {}, {}, {}, {}, {}, {}, {}});
        ProjectBlock &b = out.themes.last();

        auto readBool = [&](const QString &key, std::optional<bool> &target) {
            const auto v = in.expect(key, &error);
            if (!v)
                return false;
            target = toBool(*v);
            if (!target)
                error = in.badValue(key);
            return target.has_value();
        };
        if (!readBool(u"IsActive"_s, b.active) || !readBool(u"IsVisible"_s, b.visible))
            return out;
        const auto isMap = in.expect(u"IsMap"_s, &error);
        if (!isMap)
            return out;
        const auto m = parseNumber(*isMap); // a value that does not convert counts as 0
        b.isMap = m && toInt16(*m) == qint16(1);
        if (!*b.isMap)
            continue;
        const auto color = in.expect(u"Color"_s, &error);
        if (!color)
            return out;
        if (!(b.color = toColor(*color))) {
            error = in.badValue(u"Color"_s);
            return out;
        }
        const auto outline = in.expect(u"OutlineColor"_s, &error);
        if (!outline)
            return out;
        b.outlineColor = toColor(*outline); // one the engine would refuse stays as it was
        const auto size = in.expect(u"Size"_s, &error);
        if (!size)
            return out;
        const auto sizeValue = parseNumber(*size);
        if (!sizeValue || std::fabs(*sizeValue) > 2147483647.0) {
            error = in.badValue(u"Size"_s);
            return out;
        }
        b.size = std::nearbyint(*sizeValue);
        const auto style = in.expect(u"Symbol"_s, &error);
        if (!style)
            return out;
        const auto styleValue = parseNumber(*style);
        b.style = styleValue ? toInt16(*styleValue) : std::nullopt;
        if (!b.style) {
            error = in.badValue(u"Symbol"_s);
            return out;
        }
    }
    return out;
}
