#pragma once
// The editor's instrument layer: the script's structs and values the program itself needs,
// bound once after the script is read, and the long-lived objects that work with them (edit
// context, entities, reader, writer) together with the whole-image transfers and the view state.
#include "editor/EditorSeams.h"
#include "editor/instrument/CEditContext.h"
#include "editor/instrument/CPatchClipboard.h"
#include "editor/instrument/InstrumentBindings.h"
#include "model/CVeyBufferHandlers.h"
#include "model/CVeyEntityManager.h"

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
    static constexpr int32_t kMessageReadingSmf = InstrumentMessage::kReadingSmf;
    static constexpr int32_t kMessageReadWriteFailed = InstrumentMessage::kReadWriteFailed;
    static constexpr int32_t kMessageMidiNotSetUp = InstrumentMessage::kMidiNotSetUp;
    static constexpr int32_t kMessageGettingData = InstrumentMessage::kGettingData;
    static constexpr int32_t kMessageSynchronizing = InstrumentMessage::kSynchronizing;
    static constexpr int32_t kMessageNotRegular = InstrumentMessage::kNotRegular;
    static constexpr int32_t kSmfProgressThreshold = 16384;
    static constexpr int kUserBankCount = CInstrumentBindings::kUserBankCount;

    using CBindings = CInstrumentBindings;

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
    bool m_transferring = false;
    std::map<int32_t, int32_t> m_panelBanks;
    std::vector<class IVeyBufferHandler*> m_handlers;
    GT::IProgress* m_progress = nullptr;
    std::string m_viewStatePath;
    std::string m_initialDataPath;
};
