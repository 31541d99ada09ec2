#pragma once

namespace platform {

// Shows the busy (hourglass) cursor over every window of the program while
// it exists: put one on the stack around an operation that may keep the
// window from answering for more than a moment. Nested ones are fine.
class BusyCursor
{
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    bool m_shown = false;
};

} // namespace platform
