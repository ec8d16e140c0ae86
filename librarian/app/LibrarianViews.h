#pragma once
// The librarian's views: a form with the patch list and, while the lists show user patches, one
// small button left of every visible patch row that sends that row's patch to the instrument's
// temporary patch. The views turn the edit commands into list operations with one undo step,
// and the image view runs the transfers with the instrument and with Standard MIDI Files.
#include "librarian/app/LibrarianDocuments.h"
#include "librarian/app/PatchListCtrl.h"
#include "librarian/gp/FormViewEx.h"

#include <memory>
#include <vector>

class CButton;
class CCmdUI;

class CParamView : public GP::CFormViewEx, public IPatchView
{
public:
    CParamView(UINT templateId, bool endOfLine);
    ~CParamView() override;

    CDoc* GetDoc() const;
    CPatchListCtrl& GetList() { return *m_list; }

    void OnInitialUpdate() override;
    void OnDocumentUpdate(int hint) override;
    void Layout(int cx, int cy) override;

    // The view's commands (menus, accelerators, tool bar); TRUE when handled.
    virtual BOOL OnViewCommand(UINT id);
    virtual void OnViewUpdateCommandUI(CCmdUI* ui);

    // Row buttons: made anew after every edit, scroll and layout.
    void RecreateRowButtons();
    size_t GetRowButtonCount() const { return m_rowButtons.size(); }
    CButton* GetRowButton(size_t index) const;
    // The button of a row rectangle (view coordinates), as it is placed left of the list.
    static RECT RowButtonRect(const RECT& row);

    // The edit commands.
    void Undo();
    void Cut();
    void Copy();
    void Insert();
    void Replace();
    void Delete();
    void Initialize();
    void SelectAll();
    CDoc* Duplicate();
    // After the "WriteTemporary" warning, the patch goes to the temporary patch.
    bool SendToTemporary(int patch);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The form's face behind the buttons and the list.
    void OnPaint() override;
    virtual bool IsImageView() const = 0;
    // A selection that the edit commands may work on: in file lists its topmost row is a patch.
    bool HasEditableSelection() const;
    bool HasSelection() const;
    CPatchArray& GetPatches();
    CImageDocument* GetData() const;
    // The steps every edit shares: one undo step before, the list rebuilt and the document marked
    // modified after.
    bool BeginEditCommand();
    void EndEditCommand(bool reselect, int count);
    // The image always holds 256 patches.
    void KeepImageSize();
    int GetListTop() const;

    std::unique_ptr<CPatchListCtrl> m_list;
    std::vector<std::unique_ptr<CButton>> m_rowButtons;
};

class CFileView : public CParamView
{
public:
    CFileView();

protected:
    bool IsImageView() const override { return false; }
};

class CImageView : public CParamView
{
public:
    CImageView();

    // Read Selected and Write Selected start disabled: nothing is selected yet.
    void OnInitialUpdate() override;
    BOOL OnViewCommand(UINT id) override;
    void OnViewUpdateCommandUI(CCmdUI* ui) override;

    // The transfers of the image; each returns whether it ran to its end.
    bool ReadPatches(bool all);
    bool WritePatches(bool all);
    // 1 done, 2 cancelled, 3 failed.
    int ExportSmf(bool all);
    int ImportSmf();
    void SetUpGrid();

protected:
    bool IsImageView() const override { return true; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::vector<int> AllIndices() const;
    void UpdateButtons();
};
