#pragma once
// Writing patches to the instrument, and exporting them as a Standard MIDI File.
//
// A patch goes out block by block in layout order, one data set (DT1) per block followed by a
// 20 ms pause, after the same checks as a read (run by the reader). An export writes the same
// data sets as the events of a one-track file, spaced as the instrument needs them when the
// file is played back to it.
#include "librarian/app/TransferProgress.h"
#include "midi/framework/CVeyDataSmfWriter.h"
#include "midi/framework/CVeyMidiSender.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

class AReader;
class CParameterArray;

namespace GT
{
class IProgress;
}

class CWriter : public CVeyMidiSender
{
public:
    static constexpr uint8_t kModelId[] = {0x00, 0x00, 0x3C};

    CWriter() = default;
    ~CWriter() override = default;

    void SetProgress(GT::IProgress* progress) { m_progress = progress; }
    GT::IProgress* GetProgress() const { return m_progress; }
    // The reader that checks the instrument before every write; without one nothing is written.
    void SetChecker(AReader* reader) { m_checker = reader; }

    // Sends every listed patch to the area: the temporary patch (0x11) takes each patch at the
    // same address, user patches (0x21) at their own. Indices that name no patch of the area
    // or of the array are skipped. False when a check or a send failed, or on cancel.
    bool Write(int area, const std::vector<int>& indices, const CParameterArray& patches);

    // Writes a Standard MIDI File of the listed patches to the stream; true when all of it was
    // written.
    bool ExportSmf(std::ostream& out, int area, const std::vector<int>& indices, const CParameterArray& patches);
    // The same into a file, which is replaced only once the new one is complete.
    bool ExportSmfFile(const std::string& path, int area, const std::vector<int>& indices,
                       const CParameterArray& patches);

    ETransferResult GetLastResult() const { return m_lastResult; }

private:
    using FSendBlock = std::function<bool(const std::vector<uint8_t>& address, const std::vector<uint8_t>& data)>;
    // Walks the blocks of the listed patches in order, with progress and cancel when `progress`
    // is given, handing each to `send`.
    ETransferResult SendBlocks(int area, const std::vector<int>& indices, const CParameterArray& patches,
                               GT::IProgress* progress, const FSendBlock& send);
    // A data set to this instrument as the output port addresses it.
    std::vector<uint8_t> MakeDataSet(const std::vector<uint8_t>& address, const std::vector<uint8_t>& data) const;

    CVeyDataSmfWriter m_smf;
    GT::IProgress* m_progress = nullptr;
    AReader* m_checker = nullptr;
    ETransferResult m_lastResult = kTransferDone;
};
