// Section, township, range and meridian entries through parsing, query building and the search
// of small section themes.
#include "core/common/message_service.h"
#include "core/engine/vector_layer.h"
#include "core/plss/plss_query.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    const QList<QString> f = fuzzsupport::fields(fuzzsupport::bytes(data, size), 4);
    const SectionEntries entries{f[0], f[1], f[2], f[3]};
    QString error;
    if (const auto description = parseSectionEntries(entries, &error)) {
        for (const QString &expression : buildSectionExpressions(*description)) {
            (void)fuzzsupport::sectionTheme(1)->SearchExpression(expression);
            (void)fuzzsupport::sectionTheme(1)->isValidExpression(expression);
        }
    }
    RecordingMessageService messages;
    for (int layout : {1, 5})
        (void)findSectionPolygon(*fuzzsupport::sectionTheme(layout), entries, messages);
    return 0;
}
