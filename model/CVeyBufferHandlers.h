#pragma once
// The owning handler list of the buffer manager, the linked-struct synchronizer and the base of
// the application's path binder.
#include "model/IVeyBufferHandler.h"

#include <cstdint>
#include <string>
#include <vector>

class CVeyBufferManager;

// Calls every handler in list order, even after one has returned true, and returns true when at
// least one did. Owns its handlers: they must not be deleted by their creator as well.
class CVeyBufferHandlers : public IVeyBufferHandler, public std::vector<IVeyBufferHandler*>
{
public:
    CVeyBufferHandlers() = default;
    CVeyBufferHandlers(const CVeyBufferHandlers&) = delete;
    CVeyBufferHandlers& operator=(const CVeyBufferHandlers&) = delete;
    ~CVeyBufferHandlers() override;

    // Takes ownership.
    void Append(IVeyBufferHandler* handler);
    void Clear();

    bool OnSetArrays(const CVeyValueArrays& changes) override;
    bool OnSetTexts(const CVeyValueTexts& changes) override;
    bool OnSetValues(const CVeyValueNumbers& changes) override;
    bool OnValuesChanged(const CVeyValueList& values) override;
    bool OnReadStructData(CVeyStruct* s, std::istream& stream) override;
    bool OnDataRead(const CVeyValueList& values) override;
    bool OnValuesReceived(const CVeyValueList& values) override;

private:
    template <typename Call>
    bool CallAll(Call call);
};

// Keeps structs of equal layout in step: a change inside one selected struct is copied to the
// same offset of every other struct selected by the mask value (bit i for the i-th struct added).
class CVeyBufferSynchronizer : public IVeyBufferHandler
{
public:
    explicit CVeyBufferSynchronizer(CVeyValue* maskValue = nullptr) : m_maskValue(maskValue) {}

    void SetMaskValue(CVeyValue* maskValue) { m_maskValue = maskValue; }
    // The whole data block of `s`; false (nothing added) for a struct without data.
    bool AddStruct(CVeyStruct* s);
    // A window of `size` bytes from byte `begin` of the block of `s`; false when it does not lie
    // inside the block.
    bool AddStruct(CVeyStruct* s, int32_t begin, int32_t size);

    bool OnValuesChanged(const CVeyValueList& values) override;

private:
    struct CLinked
    {
        CVeyStruct* linked;
        const uint8_t* first;
        const uint8_t* end;
    };
    std::vector<CLinked> m_structs;
    CVeyValue* m_maskValue;
};

// Base of the application's accessor, which resolves its script paths once the model exists.
class CVeyBufferAccessor
{
public:
    virtual ~CVeyBufferAccessor() = default;

    // Stores the manager, clears the base struct and runs BindPaths.
    void Bind(CVeyBufferManager* bufferManager);

protected:
    virtual void BindPaths() = 0;

    // Through the base struct when one is set, else through the buffer manager.
    bool FindStruct(const std::string& path, CVeyStruct*& found) const;
    bool FindValue(const std::string& path, CVeyValue*& found) const;

    CVeyStruct* m_baseStruct = nullptr;
    CVeyBufferManager* m_bufferManager = nullptr;
};
