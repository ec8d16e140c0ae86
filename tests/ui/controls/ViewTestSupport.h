#pragma once
// Small views for the control tests: a parent that stands in for a panel (records what its
// children invalidate and maps client to screen by a fixed offset), a control that records the
// base's calls, and a model of a few values built from script text.
#include "model/CVeyBufferManager.h"
#include "model/CVeyScriptDefinitions.h"
#include "model/CVeyScriptReader.h"
#include "ui/controls/CVeyView.h"

#include <string>
#include <vector>

class CTestParentView : public CVeyView
{
public:
    CTestParentView()
    {
        m_rect = CRect(100, 50, 400, 250);
        m_open = true;
    }
    CVeyView* GetParent() const override { return nullptr; }
    CPoint& ClientToScreen(CPoint& out, const CPoint& point) const override
    {
        return out = CPoint(point.x + kScreenOffset.x, point.y + kScreenOffset.y);
    }
    CPoint& ScreenToClient(CPoint& out, const CPoint& point) const override
    {
        return out = CPoint(point.x - kScreenOffset.x, point.y - kScreenOffset.y);
    }
    void Draw(const UL::CDrawInfo&) override {}
    void Invalidate(const CRect* rect) override { invalidated.push_back(rect ? *rect : m_rect); }
    void Redraw(const CRect* rect) override { redrawn.push_back(rect ? *rect : m_rect); }
    void SetOpenFlag(bool open) { m_open = open; }

    static constexpr POINT kScreenOffset{1000, 500};
    std::vector<CRect> invalidated;
    std::vector<CRect> redrawn;
};

class CTestControl : public CVeyControl, public IVeySingleControl
{
public:
    static const std::string& TypeName()
    {
        static const std::string name("testControl");
        return name;
    }
    const std::string& GetTypeName() const override { return TypeName(); }
    void Draw(const UL::CDrawInfo&) override { ++draws; }
    void UpdateFromValue() override { ++updates; }
    CVeyControl* GetControl() override { return this; }
    int32_t GetValueCount() const override { return CountValues(GetValue(0)); }
    void SetValue(int32_t index) override { CommitIndex(GetValue(0), index); }

    int updates = 0;
    int draws = 0;
};

// The number table "rates" (0, 10, 20, 30) of the value fm.pat.common.rate.
class CTestNumberTables : public IVeyNumberTableProvider, public IVeyNumberTable
{
public:
    const IVeyNumberTable* FindNumberTable(const std::string& name) const override
    {
        return name == "rates" ? this : nullptr;
    }
    int32_t GetNumberCount() const override { return 4; }
    int32_t GetNumberAt(int32_t index) const override { return index * 10; }
};

// fm (10 00 00 00): pat.common (page int1x7 0..3, level int1x7, name string 4 bytes, rate through "rates"),
// pat.tone[0..3] (cutoff int1x7 0..127 default 64), and idx int1x7 0..7 in common that selects a tone.
inline bool BuildViewTestModel()
{
    static CTestNumberTables numberTables;
    CVeyBufferManager::GetInstance().Clear();
    CVeyScriptDefinitions::GetInstance().Clear();
    CVeyBufferManager::GetInstance().SetNumberTableProvider(&numberTables);
    const char* script = R"(<script>
<structType><type>commonT</type><name>$name</name><address>$address</address>
  <value><type>int1x7</type><name>page</name><range>0,3</range></value>
  <value><type>int1x7</type><name>level</name><default>100</default></value>
  <value><type>int1x7</type><name>idx</name><range>0,7</range></value>
  <value><type>string</type><name>patchName</name><size>04</size><default>INIT</default></value>
  <value><type>int1x7</type><name>rate</name><range>0,30</range><numberTableRef>rates</numberTableRef></value>
</structType>
<structType><type>toneT</type><name>$name</name><address>$address</address>
  <value><type>int1x7</type><name>cutoff</name><default>64</default></value>
</structType>
<structType><type>patT</type><name>$name</name><address>$address</address>
  <struct><type>commonT</type><name>common</name><address>00 00</address></struct>
  <struct><type>toneT</type><name>tone</name><address>01 00</address><address>02 00</address><address>03 00</address><address>04 00</address></struct>
</structType>
<structType><type>fmT</type><name>$name</name><address>$address</address>
  <struct><type>patT</type><name>pat</name><address>00 00 00 00</address></struct>
</structType>
<struct><type>fmT</type><name>fm</name><address>10 00 00 00</address></struct>
</script>)";
    return CVeyScriptReader::GetInstance().ReadText(script) && CVeyBufferManager::GetInstance().CreateStructs();
}

inline void ClearViewTestModel()
{
    CVeyBufferManager::GetInstance().Clear();
    CVeyBufferManager::GetInstance().SetNumberTableProvider(nullptr);
    CVeyScriptDefinitions::GetInstance().Clear();
}

inline CVeyValue* FindTestValue(const std::string& path)
{
    return CVeyBufferManager::GetInstance().FindValueOrNull(path);
}

inline CVeyElementDefinition::CAttributes TestAttributes(
    std::initializer_list<CVeyElementDefinition::CAttribute> list)
{
    return CVeyElementDefinition::CAttributes(list);
}
