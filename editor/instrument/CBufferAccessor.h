#pragma once
// The editor's instrument layer: the script's structs and values the program itself needs,
// bound once after the script is read, and the long-lived objects that work with them (edit
// context, entities, reader, writer) together with the whole-image transfers and the view state.
#include "editor/EditorSeams.h"
#include "editor/instrument/CEditContext.h"
#include "editor/instrument/CPatchClipboard.h"
#include "model/CVeyBufferHandlers.h"
#include "model/CVeyEntityManager.h"

#include <array>
#include <cstdint>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

class AReader;
class CVeyRootStruct;
class CVeyStruct;
class CVeyValue;
class CWriter;

namespace GT
{
class IProgress;
}

class CBufferAccessor : public CVeyBufferAccessor, public IEditorInstrumentLayer
{
public:
    // Message-table ids the layer shows.
    static constexpr int32_t kMessageReadingSmf = 1;
    static constexpr int32_t kMessageReadWriteFailed = 2;
    static constexpr int32_t kMessageMidiNotSetUp = 10;
    static constexpr int32_t kMessageGettingData = 11;
    static constexpr int32_t kMessageSynchronizing = 12;
    static constexpr int32_t kMessageNotRegular = 16;
    static constexpr int32_t kSmfProgressThreshold = 16384;
    static constexpr int kUserBankCount = 8;

    // The bound structs and values, named after their paths.
    struct CBindings
    {
        CVeyStruct* fm = nullptr;
        CVeyStruct* setup = nullptr;
        CVeyStruct* system = nullptr;
        CVeyStruct* pat = nullptr;
        CVeyStruct* mfx = nullptr;
        CVeyStruct* chorus = nullptr;
        CVeyStruct* reverb = nullptr;
        std::array<CVeyStruct*, 4> tones{};
        CVeyValue* kbdPatchBankSelectMsb = nullptr;
        CVeyValue* kbdPatchBankSelectLsb = nullptr;
        CVeyValue* kbdPatchProgramNumber = nullptr;
        CVeyValue* patchName = nullptr;
        CVeyValue* patchCategory = nullptr;
        CVeyValue* mfxType = nullptr;
        CVeyValue* reverbType = nullptr;
        CVeyValue* chorusType = nullptr;
        std::array<CVeyValue*, 4> keyRangeLower{};
        std::array<CVeyValue*, 4> keyRangeUpper{};
        std::array<CVeyValue*, 4> velocityRangeLower{};
        std::array<CVeyValue*, 4> velocityRangeUpper{};
        std::array<CVeyValue*, 4> waveGroupType{};
        std::array<CVeyValue*, 4> waveGroupId{};
        std::array<CVeyValue*, 4> waveNumberL{};
        std::array<CVeyValue*, 4> waveNumberR{};
        CVeyValue* writeRequest = nullptr;
        CVeyValue* writeStart = nullptr;
        CVeyValue* writeComplete = nullptr;
        CVeyValue* moduleType = nullptr;
        CVeyValue* patchToneState = nullptr;
        CVeyValue* patchToneActive = nullptr;
        CVeyValue* selectPanelSw = nullptr;
        CVeyValue* writePanelSw = nullptr;
        CVeyValue* navigationState = nullptr;
        CVeyValue* editMode = nullptr;
        CVeyValue* patchNameListCurrentNumber = nullptr;
        CVeyValue* listCurRangeLo = nullptr;
        CVeyValue* listCurRangeUp = nullptr;
        CVeyValue* listScrollRangeLo = nullptr;
        CVeyValue* listScrollRangeUp = nullptr;
        CVeyValue* listCurrentBank = nullptr;
        CVeyValue* firstVisibleMsb = nullptr;
        CVeyValue* firstVisibleLsb = nullptr;
        CVeyValue* firstVisiblePc = nullptr;
        CVeyValue* categorySelectFlag = nullptr;
        CVeyValue* keyboardView = nullptr;
        std::array<CVeyValue*, 16> channelNotes{};
    };

    static CBufferAccessor& GetInstance();
    CBufferAccessor();
    ~CBufferAccessor() override;
    CBufferAccessor(const CBufferAccessor&) = delete;
    CBufferAccessor& operator=(const CBufferAccessor&) = delete;

    // The set-up. False, with the paths the script lacks in the diagnostic output, when a path
    // is missing: nothing below works on a half-bound script.
    bool Initialize() override;
    // The paths of the last binding that named nothing.
    const std::vector<std::string>& GetMissingPaths() const { return m_missing; }
    const CBindings& Bound() const { return m_bound; }

    CEditContext& GetEditContext() { return m_editContext; }
    const CEditContext& GetEditContext() const { return m_editContext; }
    // The entities (user patches, effect types, waves) live in the one store the controls use.
    CVeyEntityManager& GetEntityManager();
    const CVeyEntityManager& GetEntityManager() const;
    CPatchClipboard& GetPatchClipboard() { return m_clipboard; }
    AReader* GetReader() const { return m_reader.get(); }
    CWriter* GetWriter() const { return m_writer.get(); }
    CVeyRootStruct* GetRootStruct() const;
    bool IsMidiReady() const;
    int GetUserBankCount() const { return kUserBankCount; }
    // The number of names of each wave table, for wave group type 0, 1 or 2 (clamped).
    const std::vector<int>& GetWaveCounts(int32_t groupType) const;
    // The bank count of each entity group, in group order.
    const std::map<int32_t, int32_t>& GetPanelBanks() const { return m_panelBanks; }

    int32_t GetIdentifiedModel() const { return m_identifiedModel; }
    void SetIdentifiedModel(int32_t model) { m_identifiedModel = model; }
    bool IsTransferring() const { return m_transferring; }

    // The progress display of the transfers; none by default.
    void SetProgress(GT::IProgress* progress) { m_progress = progress; }

    // Whole-image transfers. A read that fails puts back what the image held before it.
    bool ReadAll() override;
    bool WriteAllChecked() override;
    bool WriteAll() override;
    bool Synchronize() { return WriteAll(); }
    bool ImportSmf(std::istream& in);

    // "ViewState.txt": the kept view-state values by path and number.
    std::vector<CVeyValue*> GetViewStateValues() const;
    bool LoadViewState(const std::string& path);
    bool SaveViewState(const std::string& path) override;
    void SetViewStatePath(const std::string& path) { m_viewStatePath = path; }
    // Where the set-up finds the initial data; the script folder's by default.
    void SetInitialDataPath(const std::string& path) { m_initialDataPath = path; }

    // Binds an array of up to three dimensions: destination (i * B + j) * C + k from the path
    // formatted with the indices the counts call for.
    void BindStructs(const char* path, CVeyStruct** destination, int outer, int middle, int inner);
    void BindValues(const char* path, CVeyValue** destination, int outer, int middle, int inner);

protected:
    void BindPaths() override;

private:
    bool ReadViewState(const std::string& path);
    template <class T>
    void BindArray(const char* path, T** destination, int outer, int middle, int inner);
    void AddBanks();
    void AddHandlers();
    void RemoveHandlers();

    CBindings m_bound;
    std::vector<std::string> m_missing;
    CEditContext m_editContext;
    CPatchClipboard m_clipboard;
    std::unique_ptr<AReader> m_reader;
    std::unique_ptr<CWriter> m_writer;
    std::unique_ptr<class CLayerInstrumentLink> m_link;
    int32_t m_identifiedModel = -1;
    bool m_transferring = false;
    std::map<int32_t, int32_t> m_panelBanks;
    std::vector<class IVeyBufferHandler*> m_handlers;
    GT::IProgress* m_progress = nullptr;
    std::string m_viewStatePath;
    std::string m_initialDataPath;
};
