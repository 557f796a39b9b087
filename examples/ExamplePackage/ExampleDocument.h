// The example package's document: an overview of the open module
// "C:\Projects\Demo\Overview.tvx" shown in the code editor's place, with a
// tab image of its own and a modified mark, carrying a window the package
// makes itself.
#pragma once

#include "interop/TalvixBdsInterop.h"

void StartExampleDocument(IBdsServices* services);
// Puts the document frame over the front editor window and shows the
// document there; logs why when it cannot.
void ShowExampleDocument();
// Toggles the document's modified mark; the tab's overlay follows.
void ToggleExampleDocumentModified();
// Lets go of the document and destroys the package's own window.
void StopExampleDocument();
