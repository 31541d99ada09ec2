#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>

namespace platform {

// Raised when an object is assigned from one of a class it cannot copy.
class AssignError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Base of the objects that take part in the component model: they can be the sender of
// an event and can copy themselves from another object. A class that knows how to copy
// from a source overrides Assign; a source that knows how to copy itself into a
// destination overrides AssignTo.
class Persistent
{
public:
    virtual ~Persistent() = default;

    // Copies `source` into this object; the default asks the source (AssignTo), which
    // fails with AssignError when neither side knows the other.
    virtual void Assign(const Persistent &source);

    // The class name used in error messages and streams.
    virtual const char *ClassName() const { return "TPersistent"; }

protected:
    // Copies this object into `dest`; the default fails with AssignError.
    virtual void AssignTo(Persistent &dest) const;
    [[noreturn]] void RaiseAssignError(const Persistent *source) const;
};

// An event without arguments beyond its sender. It behaves like a std::function (it may
// be empty and is tested before a call) and, like a method reference, compares equal to
// the copies made of it, so that two properties can tell whether they hold the same
// handler (a button's OnClick and its action's OnExecute).
class NotifyEvent
{
public:
    using Handler = std::function<void(Persistent *Sender)>;

    NotifyEvent() = default;
    NotifyEvent(std::nullptr_t) {}
    template <typename F, typename = std::enable_if_t<std::is_invocable_v<F, Persistent *> &&
                                                      !std::is_same_v<std::decay_t<F>, NotifyEvent>>>
    NotifyEvent(F &&handler)
    {
        Handler h(std::forward<F>(handler));
        if (h)
            m_handler = std::make_shared<const Handler>(std::move(h));
    }

    explicit operator bool() const { return m_handler != nullptr; }
    void operator()(Persistent *sender) const { (*m_handler)(sender); }
    // The callable the event was made from, if it is a T (as std::function::target).
    template <typename T> const T *target() const
    {
        return m_handler ? m_handler->template target<T>() : nullptr;
    }

    friend bool operator==(const NotifyEvent &a, const NotifyEvent &b) { return a.m_handler == b.m_handler; }

private:
    std::shared_ptr<const Handler> m_handler;
};

} // namespace platform
