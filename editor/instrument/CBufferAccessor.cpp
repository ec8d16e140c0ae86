#include "editor/instrument/CBufferAccessor.h"

#include "editor/EditorNames.h"
#include "editor/instrument/AReader.h"
#include "editor/entities/InstrumentEntities.h"
#include "editor/instrument/CLayerInstrumentLink.h"
#include "editor/instrument/CWriter.h"
#include "editor/instrument/InstrumentHandlers.h"
#include "editor/instrument/EditorMessages.h"
#include "editor/instrument/InstrumentFunctors.h"
#include "midi/framework/CVeyFunctorRegistry.h"
#include "midi/framework/CVeyMidi.h"
#include "midi/framework/CVeyMidiPortLists.h"
#include "midi/framework/CVeyMidiSetup.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyDataFile.h"
#include "model/CVeyErrorOut.h"
#include "model/CVeyFadeRangeClipper.h"
#include "model/CVeyStruct.h"
#include "model/CVeyValue.h"
#include "model/VeyManagers.h"
#include "toolkit/gt/IndexedStringTable.h"
#include "toolkit/gt/OutOfMemory.h"
#include "toolkit/gt/Progress.h"
#include "toolkit/gt/SafeFile.h"
#include "toolkit/gt/TraceTextOut.h"

#include <algorithm>
#include <cstdio>
#include <type_traits>
#include <fstream>
#include <istream>
#include <sstream>

namespace
{
// What a transfer may overwrite, kept so a failed read can put it back: the data of every block
// of the image and its modified flag.
class CImageSnapshot
{
public:
    explicit CImageSnapshot(CVeyStruct* root) : m_root(dynamic_cast<CVeyRootStruct*>(root))
    {
        if (root)
            Keep(*root);
        m_modified = m_root && m_root->IsModified();
    }

    // Puts the kept bytes back and shows them; nothing is sent to the instrument.
    void Restore()
    {
        CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
        for (auto& [leaf, bytes] : m_blocks)
        {
            std::vector<uint8_t>* data = leaf->GetData();
            if (!data || *data == bytes)
                continue;
            *data = bytes;
            if (std::vector<CVeyValue>* values = leaf->GetValues())
                for (CVeyValue& value : *values)
                    buffers.MarkChanged(&value);
        }
        if (m_root)
            m_root->SetModified(m_modified);
        buffers.UpdateViews();
        buffers.ClearChanges();
    }

private:
    void Keep(CVeyStruct& s)
    {
        if (const std::vector<uint8_t>* data = s.GetData())
            m_blocks.emplace_back(&s, *data);
        else if (CVeyStructList* children = s.GetChildStructs())
            for (const auto& child : *children)
                if (child)
                    Keep(*child);
    }

    CVeyRootStruct* m_root;
    bool m_modified = false;
    std::vector<std::pair<CVeyStruct*, std::vector<uint8_t>>> m_blocks;
};

// Empties the change list for its life and puts the kept entries back after whatever it holds.
class CChangeListKeeper
{
public:
    CChangeListKeeper() : m_list(CVeyBufferManager::GetInstance().GetChangeList())
    {
        m_kept.swap(m_list);
    }
    ~CChangeListKeeper() { m_list.insert(m_list.end(), m_kept.begin(), m_kept.end()); }
    CChangeListKeeper(const CChangeListKeeper&) = delete;
    CChangeListKeeper& operator=(const CChangeListKeeper&) = delete;

private:
    CVeyValueList& m_list;
    CVeyValueList m_kept;
};

// Runs the progress display for one transfer and takes it back from the reader and writer.
class CProgressScope
{
public:
    CProgressScope(GT::IProgress* progress, AReader* reader, CWriter* writer) : m_progress(progress), m_reader(reader), m_writer(writer) {}
    ~CProgressScope()
    {
        if (m_started && m_progress)
            m_progress->End();
        if (m_reader)
            m_reader->SetProgress(nullptr);
        if (m_writer)
            m_writer->SetProgress(nullptr);
    }
    void Start(int32_t range, int32_t message)
    {
        if (!m_progress)
            return;
        m_progress->SetRange(range);
        m_progress->SetMessage(GetMessageTable().Find(message));
        if (!m_started)
            m_progress->Begin();
        m_started = true;
    }
    GT::IProgress* Get() const { return m_progress; }

private:
    GT::IProgress* m_progress;
    AReader* m_reader;
    CWriter* m_writer;
    bool m_started = false;
};

constexpr int kTones = 4;
constexpr int kChannels = 16;
}

CBufferAccessor& CBufferAccessor::GetInstance()
{
    static CBufferAccessor accessor;
    return accessor;
}

CBufferAccessor::CBufferAccessor() : m_editContext(m_bound, CInstrumentEntities::GetInstance().GetManager()) {}

CBufferAccessor::~CBufferAccessor()
{
    if (m_link)
        IInstrumentLink::Install(nullptr);
    m_link.reset();
    m_editContext.SetReader(nullptr);
    m_reader.reset();
    m_writer.reset();
    m_panelBanks.clear();
}

template <class T>
void CBufferAccessor::BindArray(const char* path, T** destination, int outer, int middle, int inner)
{
    for (int i = 0; i < outer; ++i)
        for (int j = 0; j < middle; ++j)
            for (int k = 0; k < inner; ++k)
            {
                char buffer[256];
                if (outer > 1)
                    std::snprintf(buffer, sizeof buffer, path, i, j, k);
                else if (middle > 1)
                    std::snprintf(buffer, sizeof buffer, path, j, k);
                else if (inner > 1)
                    std::snprintf(buffer, sizeof buffer, path, k);
                else
                    std::snprintf(buffer, sizeof buffer, "%s", path);
                const std::string formatted(buffer);
                T* found = nullptr;
                bool ok = false;
                if constexpr (std::is_same_v<T, CVeyStruct>)
                    ok = FindStruct(formatted, found);
                else
                    ok = FindValue(formatted, found);
                if (ok && found)
                    destination[(i * middle + j) * inner + k] = found;
                else
                    m_missing.push_back(formatted);
            }
}

void CBufferAccessor::BindStructs(const char* path, CVeyStruct** destination, int outer, int middle, int inner)
{
    BindArray(path, destination, outer, middle, inner);
}

void CBufferAccessor::BindValues(const char* path, CVeyValue** destination, int outer, int middle, int inner)
{
    BindArray(path, destination, outer, middle, inner);
}

void CBufferAccessor::BindPaths()
{
    m_missing.clear();
    m_bound = CBindings();
    CBindings& b = m_bound;
    BindStructs("fm", &b.fm, 1, 1, 1);
    BindStructs("fm.setup", &b.setup, 1, 1, 1);
    BindStructs("fm.system", &b.system, 1, 1, 1);
    BindStructs("fm.pat", &b.pat, 1, 1, 1);
    BindStructs("fm.pat.mfx", &b.mfx, 1, 1, 1);
    BindStructs("fm.pat.cho", &b.chorus, 1, 1, 1);
    BindStructs("fm.pat.rev", &b.reverb, 1, 1, 1);
    BindStructs("fm.pat.tone[%d]", b.tones.data(), 1, 1, kTones);
    BindValues("fm.setup.kbdPatchBankSelectMsb", &b.kbdPatchBankSelectMsb, 1, 1, 1);
    BindValues("fm.setup.kbdPatchBankSelectLsb", &b.kbdPatchBankSelectLsb, 1, 1, 1);
    BindValues("fm.setup.kbdPatchProgramNumber", &b.kbdPatchProgramNumber, 1, 1, 1);
    BindValues("fm.pat.common.patchName", &b.patchName, 1, 1, 1);
    BindValues("fm.pat.common.patchCategory", &b.patchCategory, 1, 1, 1);
    BindValues("fm.pat.mfx.mfxType", &b.mfxType, 1, 1, 1);
    BindValues("fm.pat.rev.reverbType", &b.reverbType, 1, 1, 1);
    BindValues("fm.pat.cho.chorusType", &b.chorusType, 1, 1, 1);
    BindValues("fm.pat.tmt.tmtKeyboardRangeLower[%d]", b.keyRangeLower.data(), 1, 1, kTones);
    BindValues("fm.pat.tmt.tmtKeyboardRangeUpper[%d]", b.keyRangeUpper.data(), 1, 1, kTones);
    BindValues("fm.pat.tmt.tmtVelocityRangeLower[%d]", b.velocityRangeLower.data(), 1, 1, kTones);
    BindValues("fm.pat.tmt.tmtVelocityRangeUpper[%d]", b.velocityRangeUpper.data(), 1, 1, kTones);
    BindValues("fm.pat.tone[%d].waveGroupType", b.waveGroupType.data(), 1, 1, kTones);
    BindValues("fm.pat.tone[%d].waveGroupID", b.waveGroupId.data(), 1, 1, kTones);
    BindValues("fm.pat.tone[%d].waveNumberL", b.waveNumberL.data(), 1, 1, kTones);
    BindValues("fm.pat.tone[%d].waveNumberR", b.waveNumberR.data(), 1, 1, kTones);
    BindValues("cm.command.writeRequest", &b.writeRequest, 1, 1, 1);
    BindValues("cm.command.writeStart", &b.writeStart, 1, 1, 1);
    BindValues("cm.command.writeComplete", &b.writeComplete, 1, 1, 1);
    BindValues("vs.control.moduleType", &b.moduleType, 1, 1, 1);
    BindValues("vs.control.patchToneStateValue", &b.patchToneState, 1, 1, 1);
    BindValues("vs.control.patchToneActiveValue", &b.patchToneActive, 1, 1, 1);
    BindValues("vs.control.selectPanelSw", &b.selectPanelSw, 1, 1, 1);
    BindValues("vs.control.writePanelSw", &b.writePanelSw, 1, 1, 1);
    BindValues("vs.navigation.patpat.state", &b.navigationState, 1, 1, 1);
    BindValues("vs.navigation.patpat.editMode", &b.editMode, 1, 1, 1);
    BindValues("vs.patchNameList.currentNumber", &b.patchNameListCurrentNumber, 1, 1, 1);
    BindValues("vs.patchNameList.listCurRangeLo", &b.listCurRangeLo, 1, 1, 1);
    BindValues("vs.patchNameList.listCurRangeUp", &b.listCurRangeUp, 1, 1, 1);
    BindValues("vs.patchNameList.listScrollRangeLo", &b.listScrollRangeLo, 1, 1, 1);
    BindValues("vs.patchNameList.listScrollRangeUp", &b.listScrollRangeUp, 1, 1, 1);
    BindValues("vs.patchNameList.listCurrentBank", &b.listCurrentBank, 1, 1, 1);
    BindValues("vs.patchNameList.firstVisibleMsb", &b.firstVisibleMsb, 1, 1, 1);
    BindValues("vs.patchNameList.firstVisibleLsb", &b.firstVisibleLsb, 1, 1, 1);
    BindValues("vs.patchNameList.firstVisiblePc", &b.firstVisiblePc, 1, 1, 1);
    BindValues("vs.patchNameList.categorySelectFlag", &b.categorySelectFlag, 1, 1, 1);
    BindValues("vs.system.keyboard.view", &b.keyboardView, 1, 1, 1);
    BindValues("ms.ch[%d].note", b.channelNotes.data(), 1, 1, kChannels);
}

CVeyRootStruct* CBufferAccessor::GetRootStruct() const { return dynamic_cast<CVeyRootStruct*>(m_bound.fm); }

bool CBufferAccessor::IsMidiReady() const { return CVeyMidiSetup::GetInstance().IsConnected(); }

CVeyEntityManager& CBufferAccessor::GetEntityManager() { return CInstrumentEntities::GetInstance().GetManager(); }

const CVeyEntityManager& CBufferAccessor::GetEntityManager() const
{
    return CInstrumentEntities::GetInstance().GetManager();
}

const std::vector<int>& CBufferAccessor::GetWaveCounts(int32_t groupType) const
{
    return CInstrumentEntities::GetInstance().GetWaveCounts(groupType);
}

void CBufferAccessor::AddBanks()
{
    // The effect types, the eight user patch banks of unnamed records and the internal waves of
    // this script. A script without wave names leaves those entries unnamed; the editor works on.
    CInstrumentEntities::GetInstance().SetUp();
}

void CBufferAccessor::RemoveHandlers()
{
    // Handlers of an earlier set-up still in the list go first; the list owns and deletes them.
    CVeyBufferHandlers& handlers = CVeyBufferManager::GetInstance().GetHandlers();
    for (auto it = handlers.begin(); it != handlers.end();)
    {
        if (dynamic_cast<CContextHandler*>(*it) || dynamic_cast<CFadeRangeClipper*>(*it) ||
            dynamic_cast<CEffectSwapper*>(*it))
        {
            delete *it;
            it = handlers.erase(it);
        }
        else
            ++it;
    }
}

void CBufferAccessor::AddHandlers()
{
    RemoveHandlers();
    CVeyBufferHandlers& handlers = CVeyBufferManager::GetInstance().GetHandlers();
    // In the order they are to be called: program context, tone synchronizer, entity names,
    // fade ranges, effect swapper.
    handlers.Append(new CContextHandler(m_bound, m_editContext));
    handlers.Append(new CToneSynchronizer());
    handlers.Append(new CEntityNameHandler());
    handlers.Append(new CFadeRangeClipper());
    handlers.Append(new CEffectSwapper(m_bound));
}

bool CBufferAccessor::Initialize()
{
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    CVeyBufferAccessor::Bind(&buffers);
    if (!m_missing.empty())
    {
        // Every user of a bound pointer relies on it: a script without one of them cannot be
        // edited, and saying which paths are missing is all that can be done.
        for (const std::string& path : m_missing)
            GetTraceTextOut().Write("The script has no value or struct \"" + path + "\".\n");
        return false;
    }

    m_editContext.SetReader(nullptr);
    m_reader.reset();
    m_writer.reset();
    CVeyEntityManager& entities = GetEntityManager();
    m_reader = std::make_unique<AReader>(m_bound, m_editContext, entities);
    m_writer = std::make_unique<CWriter>(m_bound, m_editContext, entities);
    m_editContext.SetReader(m_reader.get());
    // The instrument's controls ask for names, the write handshake and program changes here.
    if (!m_link)
        m_link = std::make_unique<CLayerInstrumentLink>(m_editContext);
    IInstrumentLink::Install(m_link.get());
    CVeyMidiInputs& inputs = CVeyMidiInputs::GetInstance();
    CVeyMidiOutputs& outputs = CVeyMidiOutputs::GetInstance();
    CVeyMidiOut* port = outputs.empty() ? nullptr : &outputs[0];
    if (!inputs.empty())
    {
        inputs[0].SetListener(m_reader.get());
        m_reader->SetMidiIn(&inputs[0]);
    }
    m_reader->SetMidiOut(port);
    m_writer->SetMidiOut(port);

    AddBanks();
    AddHandlers();
    CInstrumentFunctorTargets targets;
    targets.layer = this;
    targets.bound = &m_bound;
    targets.context = &m_editContext;
    targets.reader = m_reader.get();
    targets.writer = m_writer.get();
    RegisterInstrumentFunctors(targets);
    FillEditorMessages(GetMessageTable());

    CVeyDataFile& dataFile = CVeyDataFile::GetInstance();
    const std::string initialData = m_initialDataPath.empty()
                                        ? CVeyFolders::GetInstance().scriptFolder + CEditorNames::GetInitialDataFileName()
                                        : m_initialDataPath;
    if (!dataFile.GetRootStruct() || !dataFile.Load(initialData))
        CVeyBufferedErrorOut::GetInstance().Write("Unable to read initial data file.\n");
    if (CVeyRootStruct* root = GetRootStruct())
        root->SetModified(false);
    buffers.UpdateViews();
    buffers.ClearChanges();
    m_bound.moduleType->SetNumber(0);
    buffers.MarkChanged(m_bound.moduleType);
    // A first run has no view state file yet; the views are refreshed all the same.
    LoadViewState(m_viewStatePath.empty() ? CEditorNames::GetViewStatePath() : m_viewStatePath);
    buffers.UpdateViews();
    buffers.ClearChanges();
    m_panelBanks.clear();
    m_panelBanks.emplace(0, kUserBankCount);
    return true;
}

// ---- Transfers

bool CBufferAccessor::ReadAll()
{
    if (m_transferring || !m_reader)
        return false;
    m_transferring = true;
    CImageSnapshot before(m_bound.fm);
    CProgressScope progress(m_progress, m_reader.get(), nullptr);
    bool done = m_reader->RequestIdentity() && m_reader->CheckRegularTone();
    if (done)
    {
        m_reader->SetProgress(progress.Get());
        progress.Start(0, kMessageGettingData);
        int32_t count = CBufferCounter::CountGroups(m_bound, m_editContext, CBufferCounter::kSetup);
        done = count >= 0;
        if (done)
        {
            progress.Start(count, kMessageGettingData);
            done = m_reader->RequestGroups(CBufferCounter::kSetup);
        }
        if (done)
        {
            if (progress.Get())
                progress.Get()->SetPos(0);
            count = CBufferCounter::CountGroups(m_bound, m_editContext, CBufferCounter::kSystem | CBufferCounter::kPatch);
            done = count >= 0;
            if (done)
            {
                progress.Start(count, kMessageGettingData);
                done = m_reader->RequestGroups(CBufferCounter::kSystem | CBufferCounter::kPatch);
            }
        }
    }
    // A read that stops half way would leave an image that is neither the instrument's nor what
    // was there before: the earlier image comes back.
    if (!done)
        before.Restore();
    m_transferring = false;
    return done;
}

bool CBufferAccessor::WriteAllChecked()
{
    if (!m_reader || !m_writer)
        return false;
    CChangeListKeeper keeper;
    CProgressScope progress(m_progress, m_reader.get(), m_writer.get());
    progress.Start(0, kMessageGettingData);
    if (!m_reader->RequestIdentity())
        return false;
    const int32_t count = CBufferCounter::CountGroups(m_bound, m_editContext, CBufferCounter::kSetup | CBufferCounter::kSystem | CBufferCounter::kPatch);
    if (count < 0)
        return false;
    if (progress.Get())
        progress.Get()->SetPos(0);
    progress.Start(count, kMessageSynchronizing);
    m_writer->SetProgress(progress.Get());
    return m_writer->WriteGroups(CBufferCounter::kSetup | CBufferCounter::kSystem | CBufferCounter::kPatch);
}

bool CBufferAccessor::WriteAll()
{
    if (!m_writer)
        return false;
    const int32_t count = CBufferCounter::CountGroups(m_bound, m_editContext, CBufferCounter::kSetup | CBufferCounter::kSystem | CBufferCounter::kPatch);
    if (count < 0)
        return false;
    CProgressScope progress(m_progress, nullptr, m_writer.get());
    progress.Start(count, kMessageSynchronizing);
    m_writer->SetProgress(progress.Get());
    return m_writer->WriteGroups(CBufferCounter::kSetup | CBufferCounter::kSystem | CBufferCounter::kPatch);
}

bool CBufferAccessor::ImportSmf(std::istream& in)
{
    if (!m_reader)
        return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (!in || size < 0)
        return false;
    CProgressScope progress(size >= kSmfProgressThreshold ? m_progress : nullptr, m_reader.get(), nullptr);
    if (size >= kSmfProgressThreshold)
    {
        m_reader->SetProgress(progress.Get());
        progress.Start(static_cast<int32_t>(size), kMessageReadingSmf);
    }
    return m_reader->ReadSmf(in);
}

// ---- View state

std::vector<CVeyValue*> CBufferAccessor::GetViewStateValues() const
{
    std::vector<CVeyValue*> values;
    if (m_bound.keyboardView)
        values.push_back(m_bound.keyboardView);
    return values;
}

bool CBufferAccessor::SaveViewState(const std::string& path)
{
    std::ostringstream text;
    for (const CVeyValue* value : GetViewStateValues())
        text << value->GetPathName() << "\r\n" << value->GetNumber() << "\r\n";
    // Written beside and renamed into place, so an interrupted exit leaves the last good file.
    const std::string content = text.str();
    return GT::SaveFileAtomically(path, [&content](std::ostream& out) {
        out << content;
        return static_cast<bool>(out);
    });
}

bool CBufferAccessor::LoadViewState(const std::string& path)
{
    return GT::ReadWithinMemory("the view state", [&] { return ReadViewState(path); });
}

bool CBufferAccessor::ReadViewState(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    const std::vector<CVeyValue*> kept = GetViewStateValues();
    auto readLine = [&in](std::string& line) {
        if (!std::getline(in, line))
            return false;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return line.size() < 256;
    };
    bool clean = true;
    std::string path1;
    std::string number;
    while (readLine(path1))
    {
        if (!readLine(number))
        {
            clean = false;
            break;
        }
        long parsed = 0;
        char trailing = 0;
        const int fields = std::sscanf(number.c_str(), "%li%c", &parsed, &trailing);
        if (fields < 1 || (fields == 2 && trailing != 'S'))
        {
            clean = false;
            continue;
        }
        bool known = false;
        for (CVeyValue* value : kept)
        {
            if (value->GetPathName() != path1)
                continue;
            const CVeyValueDefinition& d = *value->GetDefinition();
            const long lo = std::min<long>(d.GetMin(), d.GetMax());
            const long hi = std::max<long>(d.GetMin(), d.GetMax());
            buffers.SetValue(value, static_cast<int32_t>(std::clamp(parsed, lo, hi)));
            known = true;
            break;
        }
        clean = clean && known;
    }
    if (!in.eof())
        clean = false;
    if (!clean)
        GetTraceTextOut().Write("The view state file \"" + path + "\" holds lines this program does not keep; they were ignored.\n");
    buffers.UpdateViews();
    buffers.ClearChanges();
    return clean;
}
