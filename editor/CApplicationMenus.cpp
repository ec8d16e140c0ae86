#include "editor/CApplicationMenus.h"

#include "editor/CEditorCommands.h"
#include "editor/instrument/CBufferAccessor.h"
#include "midi/framework/CVeyFunctorRegistry.h"
#include "midi/framework/VeyFunctors.h"
#include "model/CVeyTable.h"
#include "toolkit/gt/IndexedStringTable.h"
#include "toolkit/gt/Iterator.h"
#include "toolkit/ul/Cursor.h"
#include "toolkit/ul/PopupMenu.h"
#include "ui/menus/CVeyStringTablePopupMenuUtility.h"

#include <functional>
#include <memory>

namespace ApplicationMenus
{
namespace
{
// Message ids of the menus' entries.
enum : int32_t
{
    kFileItems = 17,        // Open, -, Save, Save As, -, Import SMF, Export SMF
    kFileItemCount = 7,
    kExportPatchItem = 25,  // Export SMF > Patch...
    kEditItems = 27,        // Initialize, Copy, Paste, -, Copy MIDI Message to Clipboard
    kEditItemCount = 5,
    kInitializeItem = 33,   // Initialize > Patch
    kCopyItems = 35,        // Copy > Patch Tone 1..4, Patch Set MFX, Patch Chorus, Patch Reverb
    kPasteItems = 43,       // Paste > the same seven
    kPartItemCount = 7,
    kSetupItem = 51,
    kHelpItems = 53,        // Manual, About
};

// Positions of the entries that carry sub-menus.
constexpr size_t kExportSmfPosition = 6;
constexpr size_t kInitializePosition = 0;
constexpr size_t kCopyPosition = 1;
constexpr size_t kPastePosition = 2;

// Leaves of the File menu.
enum : int32_t
{
    kOpenLeaf = 0,
    kSaveLeaf = 1,
    kSaveAsLeaf = 2,
    kImportSmfLeaf = 3,
    kExportPatchLeaf = 4,
};

UL::CPopupMenuItem& SubItemAt(UL::CPopupMenuItem& parent, size_t position)
{
    return *(*parent.GetSubItems())[position];
}

// Shows the tree beside the pointer with nothing marked; the chosen leaf or -1.
int32_t Track(const UL::CPopupMenuItem& root)
{
    return root.GetSubItems() ? UL::GetPopupMenu().TrackIndex(*root.GetSubItems(), -1, nullptr) : -1;
}

// Greys each entry under `parent` whose leaf's operation the patch clipboard cannot run now.
void EnableByClipboard(UL::CPopupMenuItem& parent, int32_t firstLeaf, const CPatchClipboard& clipboard)
{
    int32_t leaf = firstLeaf;
    for (auto& item : *parent.GetSubItems())
        item->Enable(clipboard.IsCommandEnabled(EditOperationOf(leaf++)));
}
}

void AppendMessageItems(int32_t firstId, int32_t count, UL::CPopupMenuItem& parent)
{
    std::unique_ptr<CVeyStringTable> texts = CVeyStringTable::Create();
    const GT::CIndexedStringTable& messages = GetMessageTable();
    for (int32_t i = 0; i < count; ++i)
        texts->Append(messages.Find(firstId + i));
    CVeyStringTablePopupMenuUtility::CElementItemCreator elements(texts.get());
    CVeyStringTablePopupMenuUtility::CBuilder builder({&elements});
    GT::CCountingIterator<int32_t> values(0, count);
    builder.Build(parent, values);
}

int32_t EditOperationOf(int32_t leaf)
{
    struct CRange
    {
        int32_t firstLeaf;
        int32_t lastLeaf;
        int32_t firstCode;
    };
    static const CRange kRanges[] = {
        {0, 0, CPatchClipboard::kInitializePatch},
        {1, 4, CPatchClipboard::kCopyTone1},
        {5, 5, CPatchClipboard::kCopyMfx},
        {6, 6, CPatchClipboard::kCopyChorus},
        {7, 7, CPatchClipboard::kCopyReverb},
        {8, 11, CPatchClipboard::kPasteTone1},
        {12, 12, CPatchClipboard::kPasteMfx},
        {13, 13, CPatchClipboard::kPasteChorus},
        {14, 14, CPatchClipboard::kPasteReverb},
    };
    for (const CRange& range : kRanges)
        if (leaf >= range.firstLeaf && leaf <= range.lastLeaf)
            return range.firstCode + (leaf - range.firstLeaf);
    return -1;
}

bool RunFileMenu(CEditorCommands& commands)
{
    UL::CPopupMenuItem root("");
    AppendMessageItems(kFileItems, kFileItemCount, root);
    UL::CPopupMenuItem& exportSmf = SubItemAt(root, kExportSmfPosition);
    AppendMessageItems(kExportPatchItem, 1, exportSmf);
    // The patch can be exported while the instrument plays one of its user patches, as the
    // main menu's Export SMF says.
    bool exportEnabled = false;
    commands.IsEnabled(CEditorCommands::kExportSmf, exportEnabled);
    SubItemAt(exportSmf, 0).Enable(exportEnabled);

    switch (Track(root))
    {
    case kOpenLeaf: commands.Run(CEditorCommands::kOpen); return true;
    case kSaveLeaf: commands.Run(CEditorCommands::kSave); return true;
    case kSaveAsLeaf: commands.Run(CEditorCommands::kSaveAs); return true;
    case kImportSmfLeaf: commands.Run(CEditorCommands::kImportSmf); return true;
    case kExportPatchLeaf: commands.Run(CEditorCommands::kExportSmf); return true;
    case -1: return false;
    default: return true;
    }
}

bool RunEditMenu(CBufferAccessor& instrument)
{
    UL::CPopupMenuItem root("");
    AppendMessageItems(kEditItems, kEditItemCount, root);
    UL::CPopupMenuItem& initialize = SubItemAt(root, kInitializePosition);
    UL::CPopupMenuItem& copy = SubItemAt(root, kCopyPosition);
    UL::CPopupMenuItem& paste = SubItemAt(root, kPastePosition);
    AppendMessageItems(kInitializeItem, 1, initialize);
    AppendMessageItems(kCopyItems, kPartItemCount, copy);
    AppendMessageItems(kPasteItems, kPartItemCount, paste);
    CPatchClipboard& clipboard = instrument.GetPatchClipboard();
    EnableByClipboard(initialize, 0, clipboard);
    EnableByClipboard(copy, 1, clipboard);
    EnableByClipboard(paste, 1 + kPartItemCount, clipboard);

    const int32_t leaf = Track(root);
    if (leaf < 0)
        return false;
    if (leaf == kCopyMidiMessageLeaf)
    {
        CEditorCommands::CopyMidiMessage();
        return true;
    }
    const int32_t operation = EditOperationOf(leaf);
    if (operation < 0)
        return false;
    UL::CWaitCursor wait;
    clipboard.Execute(operation);
    return true;
}

bool RunSetupMenu()
{
    UL::CPopupMenuItem root("");
    AppendMessageItems(kSetupItem, 1, root);
    const int32_t leaf = Track(root);
    if (leaf == 0)
        CEditorCommands::SetUpMidiDevices();
    return leaf >= 0;
}

bool RunHelpMenu()
{
    UL::CPopupMenuItem root("");
    AppendMessageItems(kHelpItems, 2, root);
    switch (Track(root))
    {
    case 0: CEditorCommands::OpenManual(); return true;
    case 1: CEditorCommands::ShowAbout(); return true;
    case -1: return false;
    default: return true;
    }
}

namespace
{
// Opens one of the menus. No wait cursor: the user is choosing.
class FSelectMenu : public IVeyFunctor
{
public:
    explicit FSelectMenu(std::function<void()> run) : m_run(std::move(run)) {}
    void Run(std::string& result, const std::string&) override
    {
        result.clear();
        m_run();
    }

private:
    std::function<void()> m_run;
};

void RunApplicationFileMenu()
{
    // The documents are the application's: without it there is nothing to open or save.
    if (std::optional<CEditorCommands> commands = CEditorCommands::ForApplication())
        RunFileMenu(*commands);
}
}

void RegisterMenuFunctors()
{
    static FSelectMenu selectFileMenu(RunApplicationFileMenu);
    static FSelectMenu selectEditMenu([] { RunEditMenu(CBufferAccessor::GetInstance()); });
    static FSelectMenu selectSetupMenu([] { RunSetupMenu(); });
    static FSelectMenu selectHelpMenu([] { RunHelpMenu(); });
    CVeyFunctorRegistry& registry = CVeyFunctorRegistry::GetInstance();
    registry.Register("SelectFileMenu", &selectFileMenu);
    registry.Register("SelectEditMenu", &selectEditMenu);
    registry.Register("SelectSetupMenu", &selectSetupMenu);
    registry.Register("SelectHelpMenu", &selectHelpMenu);
}
}
