// Finding IDE objects that the Open Tools API does not hand out, by VCL
// class names, component names and captions. No state of their own. Except
// FindObjectInspectorHost, they let errors of the IDE's calls reach the
// caller; a missing object is no error.
#pragma once

#include "host/ide/ToolsAPIServices.h"
#include "host/vcl/Controls.h"

class TCustomForm;
class TStatusBar;

namespace talvix {

// The edit view the other editor routines work on: the IDE's top view, else
// the first view of an open module's source editor; null when neither exists.
tvx::IntfPtr<IOTAEditView> GetTopEditView();
// Shows or hides the control that holds the top edit window's status bar.
void SetStatusBarPanelVisible(bool Visible);
TStatusBar* GetEditWindowStatusBar();
// The first component of the top edit window's form whose class name is
// exactly ClassName, or null.
TComponent* FindEditWindowComponent(std::u16string_view ClassName);
// The Object Inspector's host control: three parents above the first
// "TPropertyInspector" among Application's components; null when there is
// none or the chain is shorter.
TWinControl* FindObjectInspectorHost() noexcept;
// The parent of the IDE's top edit window's edit control, or null. Only the
// IDE's own top view counts here.
TWinControl* GetEditControlParent();
// The parent of that editor window's edit control, or null.
TWinControl* EditControlParentOf(const TCustomForm& EditWindow);
// The module at Index when its file name is exactly ModuleID, else the
// module of that file name; null for an index outside the module list.
tvx::IntfPtr<IOTAModule> FindDocumentModule(const String& ModuleID, int Index);
// The IDE's "new edit window" command and the message view's "View Editor"
// item, which mean nothing over a package document.
void SetNewEditorCommandVisible(bool Visible);
void SetViewEditorMenuItemVisible(bool Visible);

} // namespace talvix
