#pragma once
// The single owner of the script's panel definitions and of the root panels built from them. It
// builds the panel trees at start-up, opens root panels by name, hands every committed change list
// to the root panels, keeps the focused, capturing and tip-bar views, and remembers the window
// positions of the root panels across runs in "WindowPosition.txt".
#include "model/CVeyElementDefinition.h"
#include "model/IVeyModelLinks.h"
#include "ui/panels/CVeyPanel.h"

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

// The progress display of a long view refresh: the application's progress window stands behind
// it. The operations do nothing by default, except that a step advances the position by one.
class IVeyUpdateProgress
{
public:
    virtual ~IVeyUpdateProgress() = default;
    virtual void SetRange(int32_t) {}
    virtual void SetPos(int32_t position) { m_position = position; }
    virtual int32_t GetPos() const { return m_position; }
    virtual void SetMessage(const std::string&) {}
    virtual void Begin() {}
    virtual void Step() { SetPos(GetPos() + 1); }
    virtual void End() {}

private:
    int32_t m_position = 0;
};

class CVeyViewManager : public IVeyViewUpdater
{
public:
    // Change lists are handed to the panels in chunks of this many values; a longer list shows
    // progress.
    static constexpr size_t kChunkSize = 8192;
    // The message-table id of the progress text ("Updating.").
    static constexpr int32_t kUpdatingMessageId = 6;

    // The view manager, made on first use; it installs itself as the buffer manager's view updater.
    static CVeyViewManager& GetInstance();
    ~CVeyViewManager() override;
    CVeyViewManager(const CVeyViewManager&) = delete;
    CVeyViewManager& operator=(const CVeyViewManager&) = delete;

    // Registers CreateRootPanels and Clear as the view step of VeyCreateManagers and
    // VeyDestroyManagers.
    static void RegisterManagerStep();

    // Takes the script's panel definitions and builds every root panel in script order; true when
    // all were converted and created. Panels built before a failure stay owned.
    bool CreateRootPanels();
    // The first root panel with the name gets an empty change list, which opens it when its open
    // condition holds. False when no root panel has the name.
    bool OpenRootPanel(const std::string& name);
    bool UpdateViews(const std::vector<CVeyValue*>& changes) override;
    // Destroys the definitions and the root panels and forgets the focused, capturing and tip-bar
    // views.
    void Clear();

    // "WindowPosition.txt" in the user data folder. Saving closes the open root panels first, so
    // that their windows record where they were; the file is replaced only once fully written.
    bool LoadWindowPositions();
    bool SaveWindowPositions();
    std::string GetWindowPositionPath() const;
    // The same over streams: pairs of lines, the panel's name and "x,y".
    void ReadWindowPositions(std::istream& stream);
    void WriteWindowPositions(std::ostream& stream);

    CVeyRootPanel* FindRootPanel(const std::string& name) const;
    const std::vector<std::unique_ptr<CVeyRootPanel>>& GetRootPanels() const { return m_rootPanels; }
    CVeyTypeDefinitions& GetPanelTypes() { return m_panelTypes; }
    CVeyElementDefinitions& GetRootPanelDefinitions() { return m_rootPanelDefinitions; }

    CVeyView* GetFocusedView() const;
    CVeyView* GetCapturingView() const;
    CVeyView* GetTipBarView() const;

    // The factory of panel objects; null restores the framework's, whose root panels show
    // themselves in plain panel windows. Not owned.
    void SetPanelFactory(CVeyPanelFactory* factory);
    CVeyPanelFactory& GetPanelFactory() const;
    // The progress display of long change lists (the application's progress window); without one
    // the update runs without showing progress.
    void SetProgressSource(std::function<IVeyUpdateProgress*()> source) { m_progressSource = std::move(source); }

private:
    CVeyViewManager();
    bool ConvertPanel(const CVeyElementDefinition& definition, CVeyPanel& panel);
    bool HandToRootPanels(const std::vector<CVeyValue*>& changes);

    CVeyTypeDefinitions m_panelTypes;
    CVeyElementDefinitions m_rootPanelDefinitions;
    std::vector<std::unique_ptr<CVeyRootPanel>> m_rootPanels;
    std::vector<const CVeyTypeDefinition*> m_convertingTypes;   // innermost last, while converting
    CVeyPanelFactory* m_panelFactory = nullptr;
    std::function<IVeyUpdateProgress*()> m_progressSource;
};
