#include "core/plss/legal_description.h"

#include "core/plss/meridians.h"

#include <QRegularExpression>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

// "23S" -> "T. 23 S."; a number without its direction stays a number ("T. 23").
QString townshipOrRange(const QString &prefix, const QString &stored)
{
    static const QRegularExpression form(u"^\\s*0*(\\d+(?:\\.\\d+)?)\\s*([NSEWnsew]?)\\s*$"_s);
    const QRegularExpressionMatch m = form.match(stored);
    if (!m.hasMatch())
        return prefix + u" "_s + stored.trimmed();
    QString text = prefix + u" "_s + m.captured(1);
    if (!m.captured(2).isEmpty())
        text += u" "_s + m.captured(2).toUpper() + u"."_s;
    return text;
}

// "W2309.87" -> "2309.87 ft from the W line".
QString footage(const QString &call)
{
    const QString c = call.trimmed();
    if (c.size() < 2)
        return {};
    return c.mid(1) + u" ft from the "_s + c.left(1).toUpper() + u" line"_s;
}

} // namespace

QString legalDescription(const ReverseLocation &location, int meridianCode)
{
    QStringList quarters;
    for (auto it = location.quarters.rbegin(); it != location.quarters.rend(); ++it) {
        if (!it->trimmed().isEmpty())
            quarters.append(it->trimmed().toUpper() + u"1/4"_s);
    }
    QString section = location.section.trimmed();
    while (section.size() > 1 && section.startsWith(u'0'))
        section.remove(0, 1);
    QStringList parts{u"sec. "_s + section, townshipOrRange(u"T."_s, location.township),
                      townshipOrRange(u"R."_s, location.range)};
    if (const PrincipalMeridian *m = meridianByCode(meridianCode))
        parts.append(m->name);
    QString text = parts.join(u", "_s);
    if (!quarters.isEmpty())
        text = quarters.join(u' ') + u" "_s + text;
    QStringList calls;
    for (const QString &call : {location.fcX, location.fcY}) {
        const QString f = footage(call);
        if (!f.isEmpty())
            calls.append(f);
    }
    if (!calls.isEmpty())
        text += u"; "_s + calls.join(u", "_s);
    return text;
}
