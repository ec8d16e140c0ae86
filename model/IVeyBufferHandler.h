#pragma once
// Rules hooked into value changes: offered every change before it is stored, told about every
// change after it is stored, and offered every block read from a data file.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

class CVeyValue;
class CVeyStruct;

using CVeyValueList = std::vector<CVeyValue*>;
using CVeyValueNumbers = std::vector<std::pair<CVeyValue*, int32_t>>;
using CVeyValueTexts = std::vector<std::pair<CVeyValue*, std::string>>;
using CVeyValueArrays = std::vector<std::pair<CVeyValue*, std::vector<int32_t>>>;

class IVeyBufferHandler
{
public:
    virtual ~IVeyBufferHandler() = default;
    // For the four offers, true means the handler has taken the change (or block) over and the
    // buffer manager does nothing more with it. The three notifications' results are ignored.
    virtual bool OnSetArrays(const CVeyValueArrays&) { return false; }
    virtual bool OnSetTexts(const CVeyValueTexts&) { return false; }
    virtual bool OnSetValues(const CVeyValueNumbers&) { return false; }
    virtual bool OnValuesChanged(const CVeyValueList&) { return false; }
    virtual bool OnReadStructData(CVeyStruct*, std::istream&) { return false; }
    virtual bool OnDataRead(const CVeyValueList&) { return false; }
    virtual bool OnValuesReceived(const CVeyValueList&) { return false; }
};
