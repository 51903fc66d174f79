#pragma once
// The document named on the command line (a double-click in a file manager starts the program
// with it), opened once the window stands.

#include <QString>
#include <QStringList>

namespace gw {

class TMainForm;

// The document to open at start: the first argument Qt left that is no option; after "--" any.
// Empty when there is none.
QString StartDocument(const QStringList& arguments);

// Opens the start document in `form` as soon as the event loop runs, so the built-in textures
// of the first showing are in place and a refusal is reported over the window, which then keeps
// the start-up lettering.
void OpenStartDocument(TMainForm& form, const QStringList& arguments);

}  // namespace gw
