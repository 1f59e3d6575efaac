// Connecting controls to event procedures: the procedures are free functions taking the
// App, the windows connect their controls to them once, when the window is created.
#pragma once

#include <functional>

class App;
class QAction;

using Procedure = std::function<void(App&)>;

// A slot that runs `procedure` with `app`; signal arguments are dropped.
inline auto runs(App& app, Procedure procedure) {
  return [&app, procedure = std::move(procedure)] { procedure(app); };
}

// Connects a menu item's click to its procedure. Qt flips a check item's mark before it
// reports the click; the procedures set the marks themselves (toggling, radio pairs,
// mirrors of check boxes), so the flip is undone first and the procedure sees the mark
// as it was when the user clicked.
void connectMenuItem(App& app, QAction* item, Procedure procedure);
