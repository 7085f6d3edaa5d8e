#include "core/common/row_blocks.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

void convertRowBlocks(qsizetype rows,
                      const std::function<void(qsizetype first, qsizetype end)> &convert,
                      const std::function<void(qsizetype done)> &converted)
{
    // Each row stands on its own: every result goes to its row's place, whichever thread and
    // whenever it is done.
    constexpr qsizetype Block = 256;
    std::atomic<qsizetype> nextBlock{0};
    std::atomic<qsizetype> done{0};
    const auto convertBlocks = [&](bool onCallingThread) {
        for (;;) {
            const qsizetype first = 1 + nextBlock.fetch_add(Block);
            if (first > rows)
                return;
            const qsizetype end = std::min(first + Block, rows + 1);
            convert(first, end);
            const qsizetype now = done += end - first;
            if (onCallingThread && converted)
                converted(now);
        }
    };
    const qsizetype threads =
        rows < 2 * Block ? 1 : std::clamp<qsizetype>(std::thread::hardware_concurrency(), 1, 8);
    std::vector<std::thread> workers;
    for (qsizetype t = 1; t < threads; ++t)
        workers.emplace_back(convertBlocks, false);
    convertBlocks(true);
    for (std::thread &w : workers)
        w.join();
    if (converted)
        converted(rows);
}
