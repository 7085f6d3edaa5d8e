#pragma once

#include <QtGlobal>

#include <functional>

// Rows 1 to `rows` (0 is the header) in blocks of 256, handed out in turn to every core (one
// thread for fewer than two blocks): `convert(first, end)` converts rows [first, end) and is
// called from several threads at once. `converted(done)` is told, on the calling thread, how
// many rows are done after each block that thread converted, and once more at the end.
void convertRowBlocks(qsizetype rows,
                      const std::function<void(qsizetype first, qsizetype end)> &convert,
                      const std::function<void(qsizetype done)> &converted = {});
