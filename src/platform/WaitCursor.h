#pragma once
// The screen's mouse pointer: hourglass on / back to the default.
// Every set() is matched by exactly one restore(); restore() without a
// pending set() does nothing. WaitCursorGuard does both in a scope.

namespace velmaro::platform {

class WaitCursor {
public:
    static void set();
    static void restore();
    static int depth();  // sets not yet restored (for tests)
};

class WaitCursorGuard {
public:
    WaitCursorGuard() { WaitCursor::set(); }
    ~WaitCursorGuard() { WaitCursor::restore(); }
    WaitCursorGuard(const WaitCursorGuard&) = delete;
    WaitCursorGuard& operator=(const WaitCursorGuard&) = delete;
};

}  // namespace velmaro::platform
