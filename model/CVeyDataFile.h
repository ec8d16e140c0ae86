#pragma once
// The editor's data file ("VeyDataFile00001"): the whole image of one root struct. A 256-byte
// header (magic, the root struct's path, the product name, zeros) is followed by the leaf data of
// the struct tree in depth-first pre-order. The body's length is fixed by the script, so a file
// fits only the script that wrote it.
//
// Loading is all or nothing: a short or foreign file leaves the model, its change list and its
// modified flag as they were. Bytes after the body are ignored, with a line on the trace output. Saving writes a temporary file beside the target and renames
// it into place, so a failed save leaves the previous file intact. Failures are reported with
// message 4 (load) or 5 (save) on the buffered error output.
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

class CVeyRootStruct;

class CVeyDataFile
{
public:
    static constexpr size_t kMagicSize = 16;
    static constexpr size_t kRootPathSize = 64;
    static constexpr size_t kProductNameSize = 16;
    static constexpr size_t kHeaderSize = 256;
    static constexpr int32_t kLoadFailedMessage = 4;
    static constexpr int32_t kSaveFailedMessage = 5;

    struct CHeader
    {
        std::string magic;
        std::string rootStructPath;
        std::string productName;
    };

    static CVeyDataFile& GetInstance();

    CVeyDataFile();
    virtual ~CVeyDataFile() = default;
    CVeyDataFile(const CVeyDataFile&) = delete;
    CVeyDataFile& operator=(const CVeyDataFile&) = delete;

    // Reads a whole file image from the stream into the bound root struct through the buffer
    // manager (handlers take part; the read values land on the change list). True clears the
    // modified flag.
    virtual bool Read(std::istream& stream);
    // Writes the header and the body. True clears the modified flag.
    virtual bool Write(std::ostream& stream);
    virtual bool Load(const std::string& path);
    // Replaces the file at `path` only once the new contents are completely written.
    virtual bool Save(const std::string& path);
    // True when the three fields (trimmed when they were read) equal those of GetHeader.
    virtual bool CheckHeader(const CHeader& header) const;
    // False when no root struct is bound.
    virtual bool GetHeader(CHeader& header) const;

    const std::string& GetMagic() const { return m_magic; }
    void SetProductName(const std::string& productName) { m_productName = productName; }
    const std::string& GetProductName() const { return m_productName; }
    // Not owned; null unbinds.
    void SetRootStruct(CVeyRootStruct* rootStruct) { m_rootStruct = rootStruct; }
    CVeyRootStruct* GetRootStruct() const { return m_rootStruct; }

    // The 256 header bytes of `header`: each field padded with blanks or cut to its size.
    static std::vector<uint8_t> MakeHeaderBytes(const CHeader& header);
    // The fields of 256 header bytes, each trimmed of blanks, tabs and line breaks.
    static CHeader ParseHeaderBytes(const uint8_t* bytes);

private:
    bool WriteImage(std::ostream& stream) const;
    bool ReadImage(std::istream& stream);

    const std::string m_magic;
    std::string m_productName;
    CVeyRootStruct* m_rootStruct = nullptr;
};
