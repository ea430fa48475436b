#pragma once
// A signal handler that never lets an exception out into Qt's event loop: a
// throw (a caller's mistake, an index out of range) is shown to the user in
// a message box over the window and the program goes on. Qt cannot carry
// exceptions through its event loop; one that escapes ends the program and
// loses the user's unsaved work.
#include <QWidget>

#include <functional>
#include <type_traits>
#include <utility>

// Runs `work`; what it throws is shown over `owner`, and RunGuarded returns
// false.
bool RunGuarded(QWidget* owner, const std::function<void()>& work);

// `handler` wrapped for connect(): it takes the signal's arguments, or none.
template <class F>
auto Guarded(QWidget* owner, F handler)
{
    return [owner, handler](auto&&... args) {
        RunGuarded(owner, [&] {
            if constexpr (std::is_invocable_v<const F&, decltype(args)...>)
                handler(std::forward<decltype(args)>(args)...);
            else
                handler();
        });
    };
}
