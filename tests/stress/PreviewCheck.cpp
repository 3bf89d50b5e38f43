#include "tests/stress/RunCheck.h"

// The preview shows what a run without the injected faults does, and changes nothing.
void CheckPreview(RunCheck& check)
{
    const Observation& observation = check.observation;
    CompareTrees(check, observation.before, observation.afterPreview, "the preview changed the folder");
    const Expected& expected = observation.expectedWithoutFaults;
    const RunPreview& preview = observation.preview;
    if (preview.outcome.refusal != expected.refusal || preview.outcome.refusedName != expected.refusedName) {
        check.Breach("the preview shows refusal " + std::to_string(preview.outcome.refusal) + " for " +
                     Quoted(preview.outcome.refusedName) + ", expected " + std::to_string(expected.refusal) + " for " +
                     Quoted(expected.refusedName));
        return;
    }
    if (static_cast<size_t>(preview.RowCount()) != expected.batch.size()) {
        check.Breach("the preview shows " + std::to_string(preview.RowCount()) + " files, expected " +
                     std::to_string(expected.batch.size()));
        return;
    }
    for (int row = 0; row < preview.RowCount(); ++row) {
        const Planned& planned = expected.batch[static_cast<size_t>(row)];
        if (planned.key != preview.CurrentName(row) || planned.newName != preview.NewName(row)) {
            check.Breach("preview row " + std::to_string(row) + " shows " + Quoted(preview.CurrentName(row)) + " -> " +
                         Quoted(preview.NewName(row)) + ", expected " + Quoted(planned.key) + " -> " +
                         Quoted(planned.newName));
            return;
        }
    }
    const int unreachable =
        preview.LeftOut(LeftOutUnreachable) + preview.LeftOut(LeftOutTooLong) + preview.LeftOut(LeftOutPathTooLong);
    if (expected.refusal == RefusalNone && unreachable != expected.unreachable)
        check.Breach("the preview leaves out " + std::to_string(unreachable) + " unreachable names, expected " +
                     std::to_string(expected.unreachable));
    const int hiddenSystem = preview.LeftOut(LeftOutHiddenSystem);
    if (expected.refusal == RefusalNone && hiddenSystem != expected.hiddenSystem)
        check.Breach("the preview leaves out " + std::to_string(hiddenSystem) + " hidden system files, expected " +
                     std::to_string(expected.hiddenSystem));
}
