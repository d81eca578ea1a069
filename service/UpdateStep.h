#pragma once

#include <QMetaType>

namespace Service::K27 {

// Where a package update stands: the step that runs, counted over the whole sequence of this
// run (a device whose platform already runs its bootloader skips the jump to it), with that
// step's own progress. A transfer step has a percentage, a waiting step a countdown.
struct UpdateStep
{
    enum class Kind {
        PlatformTransfer, // the platform pulls its image
        DisplayTransfer, // the display pulls its image through the platform
        Waiting, // a wait of the sequence; wait says which
    };
    // What a waiting step waits for.
    enum class Wait {
        None, // a transfer step
        Bootloader, // a controller's bootloader starts after "JumpToBootloader"
        DeviceRestart, // the platform restarts into its new software; the port goes and comes
        DisplayFinish, // the display writes its last block before "StopDisplayUpdate"
        Confirmation, // the updated controllers are asked what they run now
    };

    int number = 0; // 1 … count
    int count = 0;
    Kind kind = Kind::Waiting;
    int percent = 0; // of this step, for transfers
    int secondsLeft = -1; // for waits; -1 when not known
    Wait wait = Wait::None;

    bool operator==(const UpdateStep &other) const
    {
        return number == other.number && count == other.count && kind == other.kind
            && percent == other.percent && secondsLeft == other.secondsLeft && wait == other.wait;
    }
    bool operator!=(const UpdateStep &other) const { return !(*this == other); }
};

} // namespace Service::K27

Q_DECLARE_METATYPE(Service::K27::UpdateStep)
