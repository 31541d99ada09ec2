#pragma once

#include "platform/ui/Persistent.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <any>
#include <functional>
#include <map>
#include <type_traits>
#include <utility>

namespace platform {

// A handler made from one of a form's methods. It remembers the method's name, so a
// stored form can write the event as that name, and the name survives every copy of
// the handler (a copied button keeps its click handler's name).
template <typename Sig> struct NamedMethod;
template <typename R, typename... A> struct NamedMethod<R(A...)>
{
    QByteArray name;
    std::function<R(A...)> method;
    R operator()(A... args) const { return method(std::forward<A>(args)...); }
};

// The handler signature of an event type: a std::function's own, void(Persistent *) for
// NotifyEvent.
template <typename Event> struct EventSignature;
template <typename Sig> struct EventSignature<std::function<Sig>>
{
    using type = Sig;
};
template <> struct EventSignature<NotifyEvent>
{
    using type = void(Persistent *);
};

// What a stored component refers to outside itself, by name: the form's components
// (the form and the objects beneath it, by object name) and the form's handler methods.
// The form publishes each method it lets stored events use; handlers made here carry the
// method's name.
class FormOwner
{
public:
    explicit FormOwner(QObject *form = nullptr) : m_form(form) {}

    QObject *Form() const { return m_form; }
    // The form or the object beneath it named `name`; none when there is none.
    QObject *FindComponent(const QByteArray &name) const
    {
        if (!m_form || name.isEmpty())
            return nullptr;
        const QString text = QString::fromLatin1(name);
        if (m_form->objectName() == text)
            return m_form;
        return m_form->findChild<QObject *>(text);
    }

    // Publishes `method` as the form's method `name` for events whose handlers have the
    // signature Sig. Names compare without case, as the stored form's identifiers do.
    template <typename Sig, typename F> void AddMethod(const QByteArray &name, F method)
    {
        Entry entry;
        entry.name = name;
        std::function<Sig> function(std::move(method));
        entry.method = function;
        // Every notify handler of one method is the same event, so they compare equal.
        if constexpr (std::is_same_v<Sig, void(Persistent *)>)
            entry.notify = NotifyEvent(NamedMethod<Sig>{name, function});
        m_methods[name.toLower()] = std::move(entry);
    }

    bool HasMethod(const QByteArray &name) const { return m_methods.count(name.toLower()) != 0; }

    // The handler for an event of type Event made from method `name`; empty when the form
    // has no such method or the method has another signature.
    template <typename Event> Event Method(const QByteArray &name) const
    {
        using Sig = typename EventSignature<Event>::type;
        const auto it = m_methods.find(name.toLower());
        if (it == m_methods.end())
            return Event();
        if constexpr (std::is_same_v<Event, NotifyEvent>) {
            return it->second.notify;
        } else {
            const auto *function = std::any_cast<std::function<Sig>>(&it->second.method);
            if (!function)
                return Event();
            return Event(NamedMethod<Sig>{it->second.name, *function});
        }
    }

    // The name of the method `handler` was made from; empty for any other handler.
    template <typename Event> static QByteArray MethodName(const Event &handler)
    {
        using Sig = typename EventSignature<Event>::type;
        if (const auto *named = handler.template target<NamedMethod<Sig>>())
            return named->name;
        return QByteArray();
    }

private:
    struct Entry
    {
        QByteArray name;
        std::any method;
        NotifyEvent notify;
    };

    QPointer<QObject> m_form;
    std::map<QByteArray, Entry> m_methods;
};

} // namespace platform
