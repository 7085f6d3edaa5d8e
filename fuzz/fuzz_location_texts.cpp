// The texts of the calculator boxes: quarter calls, footage calls, ties and lots, both
// coordinate tabs and the reverse location boxes.
#include "core/common/message_service.h"
#include "core/coords/coordinate_entry.h"
#include "core/engine/vector_layer.h"
#include "core/plss/reverse_location.h"
#include "core/plss/well_location.h"
#include "fuzz/fuzz_support.h"

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QList<QString> f = fuzzsupport::fields(fuzzsupport::bytes(data + 1, size - 1), 8);
    RecordingMessageService messages;
    const VectorLayer &theme = *fuzzsupport::sectionTheme((data[0] & 8) ? 5 : 1);
    switch (data[0] % 6) {
    case 0: {
        (void)locateByQuarterCalls(theme, {f[0], f[1], f[2], f[3]}, {f[4], f[5], f[6], f[7]},
                                   messages);
        // Ties and lots in a section that is found, by either rule.
        WellDescription well;
        well.entries = {u"6"_s, u"12N"_s, u"34W"_s, u"6"_s};
        well.tieCorner = f[0];
        well.tieNorthSouth = f[1];
        well.tieEastWest = f[2];
        well.lot = f[3].size();
        well.calls = {f[4], f[5], f[6], f[7]};
        const LocateOptions options{
            (data[0] & 16) ? SubdivisionRule::Manual : SubdivisionRule::Classic, nullptr};
        (void)locateWell(theme, well, options, messages);
        well.tieCorner.clear();
        (void)locateWell(theme, well, options, messages);
        break;
    }
    case 1:
        // A description that is found, so the calls themselves are what varies.
        (void)locateByFootageCalls(theme, {u"1"_s, u"12N"_s, u"34W"_s, u"6"_s}, f[0], f[1],
                                   messages);
        (void)locateByFootageCalls(theme, {f[2], f[3], f[4], f[5]}, f[6], f[7], messages);
        break;
    case 2:
        (void)latLongToUtm({f[0], f[1], f[2], f[3], f[4], f[5]}, f[6], messages);
        break;
    case 3:
        for (int mode : {0, 1, 2, int(f[2].size()) - 1})
            (void)utmToLatLong(f[0], f[1], f[3], mode, messages);
        break;
    case 4:
        (void)convertZone(f[0], f[1], f[2], f[3], messages);
        break;
    default:
        (void)reverseLocate(theme, f[0], f[1], messages);
        break;
    }
    return 0;
}
