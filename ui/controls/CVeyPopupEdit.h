#pragma once
// The one-line edit that the edit and display controls open just below themselves. Controls see
// the interface; the program's implementation runs the toolkit's in-place edit modally. Tests
// install their own through VeySetPopupEdit.
#include "platform/Geometry.h"

#include <string>

class CVeyTextWriter;
class CVeyView;

class CVeyPopupEdit
{
public:
    virtual ~CVeyPopupEdit() = default;
    // Edits `currentText` in `rect` (the root view's client coordinates) in the writer's font.
    // True when the user committed; `resultText` is set only then.
    virtual bool Run(CVeyView& rootView, const CRect& rect, std::string& resultText, const std::string& currentText,
                     CVeyTextWriter* textWriter) = 0;
};

class CModalPopupEdit : public CVeyPopupEdit
{
public:
    static CModalPopupEdit& GetInstance();

    bool Run(CVeyView& rootView, const CRect& rect, std::string& resultText, const std::string& currentText,
             CVeyTextWriter* textWriter) override;
};

// The installed popup edit, or CModalPopupEdit's instance (never null).
CVeyPopupEdit& VeyGetPopupEdit();
// Installs a popup edit (not owned); null restores the modal one. Returns the one installed before.
CVeyPopupEdit* VeySetPopupEdit(CVeyPopupEdit* edit);
