#pragma once
// A view's named reference to a value: the dotted name as written in the script, in which
// bracketed expressions are evaluated and replaced by their number before the lookup.
#include <string>
#include <vector>

class CVeyValue;

class CVeyValueRef
{
public:
    CVeyValueRef() = default;
    explicit CVeyValueRef(const std::string& name) : m_name(name) {}

    const std::string& GetName() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    // The resolved value (borrowed), null until resolved.
    CVeyValue* GetValue() const { return m_value; }
    void SetValue(CVeyValue* value) { m_value = value; }
    // The values the bracketed expressions read during the last Resolve.
    const std::vector<CVeyValue*>& GetReadValues() const { return m_readValues; }

    // Evaluates the bracketed parts (lenient), substitutes their numbers ("%ld") and looks the
    // path up through the buffer manager. False when an expression fails or no value answers.
    bool Resolve();
    // True when one of `changes` is a value the brackets read: the owner then resolves again.
    bool DependsOnAny(const std::vector<CVeyValue*>& changes) const;

private:
    friend class CVeyExpression;
    bool Resolve(int depth);

    std::string m_name;
    CVeyValue* m_value = nullptr;
    std::vector<CVeyValue*> m_readValues;
};

using CVeyValueRefs = std::vector<CVeyValueRef>;

// The first reference named `name`, or null.
CVeyValueRef* FindValueRefByName(CVeyValueRefs& refs, const std::string& name);
// Resolves each in order; at the first failure writes "Unable to convert value reference name %s
// to value.\n" to the diagnostic output and returns false.
bool ResolveValueRefs(CVeyValueRefs& refs);
