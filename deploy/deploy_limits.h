// Every time limit of a deployment and of the toggle, in milliseconds of the desktop's steady
// clock. They are deadlines, not counts of pauses: a pause lasts whatever the system's timer
// gives (a 15.625 ms tick on Windows 10 2004 and later, about 1.1 ms under Wine), and the
// limits are the same on every machine. The search limits are those Windows gave to the
// counts of 1 ms pauses before them: 500 and 2000 ticks of 15.625 ms.
#pragma once

namespace keyrack {

// The window search of one item, from its launch.
inline constexpr unsigned kTitleSearchAfterMs = 7813;  // 500 ticks
inline constexpr unsigned kSearchTimeoutMs = 31250;    // 2000 ticks
// Between two path attempts (one tick on Windows); a new top-level window brings the next
// attempt forward.
inline constexpr unsigned kPathAttemptMs = 15;
// An attempt looks only at the windows that are new since the last one, except every this
// often, when it looks at every window again (titles change, handles are reused).
inline constexpr unsigned kFullSearchMs = 250;
// A launch of a program already running that opens no window and brings none forward: then
// its one visible window from before the launch is the item's.
inline constexpr unsigned kExistingWindowAfterMs = 3000;

// After each item of a group.
inline constexpr unsigned kAfterItemPauseMs = 200;
// The outcome ("완료", "로드 실패") on the indicator before it closes.
inline constexpr unsigned kOutcomePauseMs = 2500;

// A placed window counts as not answering only when the system says so (IsHungAppWindow) or it
// has not answered for this long: programs busy starting up keep their thread for seconds.
inline constexpr unsigned kNotAnsweringAfterMs = 5000;
// The placement watch: how often it looks, how long one look waits for a window's answer, and
// for how long a window is watched once it has taken its placement.
inline constexpr unsigned kWatchPassMs = 50;
inline constexpr unsigned kWatchAnswerMs = 10;
inline constexpr unsigned kWatchSpanMs = 2000;

// The toggle: between two windows, and how long the raise waits for a window to have taken its
// steps before the next window's.
inline constexpr unsigned kToggleStepPauseMs = 50;
inline constexpr unsigned kRaiseAnswerTimeoutMs = 200;

// How long the exit waits for the deployment thread to end before it leaves it behind (a
// launch call that blocks: a consent prompt nobody answers, an unreachable network path), so
// that the process always ends within two seconds.
inline constexpr unsigned kExitWaitMs = 1500;

}  // namespace keyrack
