#include "model/CVeyExpression.h"

#include "model/CVeyValue.h"
#include "toolkit/gt/NumberText.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <vector>

namespace
{
// Brackets in names nest expressions in expressions; a script cannot need more than a few levels.
constexpr int kMaxDepth = 16;

int32_t Wrap(int64_t value)
{
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

std::string TrimControls(const std::string& text)
{
    size_t first = 0, last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= 32)
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32)
        --last;
    return text.substr(first, last - first);
}

bool Tokenize(const std::string& expression, std::vector<std::string>& tokens)
{
    int depth = 0;
    size_t start = 0;
    for (size_t i = 0; i <= expression.size(); ++i)
    {
        const char c = i < expression.size() ? expression[i] : ',';
        if (c == '[')
            ++depth;
        else if (c == ']')
            --depth;
        else if (c == ',' && depth == 0)
        {
            std::string token = TrimControls(expression.substr(start, i - start));
            if (!token.empty())
                tokens.push_back(std::move(token));
            start = i + 1;
        }
    }
    return depth == 0;
}

bool IsDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Binary operators on a (deeper) and b (top). False for an unknown operator or a zero divisor.
bool ApplyBinary(const std::string& op, int32_t a, int32_t b, int32_t& out)
{
    const int64_t la = a, lb = b;
    if (op == "+") out = Wrap(la + lb);
    else if (op == "-") out = Wrap(la - lb);
    else if (op == "*") out = Wrap(la * lb);
    else if (op == "/" || op == "%")
    {
        if (b == 0)
            return false;
        // 64-bit division: INT_MIN / -1 wraps back to INT_MIN, INT_MIN % -1 is 0, no trap.
        out = Wrap(op == "/" ? la / lb : la % lb);
    }
    else if (op == "&amp;") out = a & b;
    else if (op == "|") out = a | b;
    else if (op == "&amp;&amp;") out = (a != 0 && b != 0) ? 1 : 0;
    else if (op == "||") out = (a != 0 || b != 0) ? 1 : 0;
    else if (op == "==") out = a == b;
    else if (op == "!=") out = a != b;
    else if (op == "&lt;") out = a < b;
    else if (op == "&gt;") out = a > b;
    else if (op == "&lt;=") out = a <= b;
    else if (op == "&gt;=") out = a >= b;
    else if (op == "@min") out = std::min(a, b);
    else if (op == "@max") out = std::max(a, b);
    else return false;
    return true;
}

bool IsBinary(const std::string& op)
{
    static const char* const kOps[] = {"+", "-", "*", "/", "%", "&amp;", "|", "&amp;&amp;", "||", "==", "!=",
                                       "&lt;", "&gt;", "&lt;=", "&gt;=", "@min", "@max"};
    return std::any_of(std::begin(kOps), std::end(kOps), [&](const char* k) { return op == k; });
}
}

bool CVeyExpression::EvaluateStrict(const std::string& expression, CVeyValueRefs& refs, int32_t& result)
{
    return Evaluate(expression, refs, result, false, 0);
}

bool CVeyExpression::EvaluateLenient(const std::string& expression, CVeyValueRefs& refs, int32_t& result)
{
    return Evaluate(expression, refs, result, true, 0);
}

bool CVeyExpression::Evaluate(const std::string& expression, CVeyValueRefs& refs, int32_t& result, bool lenient)
{
    return Evaluate(expression, refs, result, lenient, 0);
}

bool CVeyExpression::Evaluate(const std::string& expression, CVeyValueRefs& refs, int32_t& result, bool lenient,
                              int depth)
{
    if (depth > kMaxDepth)
        return false;
    std::vector<std::string> tokens;
    if (!Tokenize(expression, tokens))
        return false;
    std::vector<int32_t> stack;
    for (const std::string& token : tokens)
    {
        const char first = token[0];
        if (IsDigit(first) || (token.size() > 1 && (first == '+' || first == '-') && IsDigit(token[1])))
        {
            int32_t number = 0;
            if (!GT::StringToLong(token, &number))
                return false;
            stack.push_back(number);
        }
        else if (std::isalpha(static_cast<unsigned char>(first)))
        {
            CVeyValueRef* ref = FindValueRefByName(refs, token);
            if (!ref)
            {
                if (!lenient)
                    return false;
                CVeyValueRef added(token);
                if (!added.Resolve(depth + 1))
                    return false;
                refs.push_back(std::move(added));
                ref = &refs.back();
            }
            const CVeyValue* value = ref->GetValue();
            if (!value || !value->GetDefinition()->IsNumeric())
                return false;
            stack.push_back(value->GetNumber());
        }
        else if (token == "!" || token == "~" || token == "@abs")
        {
            if (stack.empty())
                return false;
            int32_t& b = stack.back();
            if (token == "!")
                b = b == 0 ? 1 : 0;
            else if (token == "~")
                b = ~b;
            else
                b = Wrap(std::llabs(static_cast<int64_t>(b)));   // |INT_MIN| wraps to INT_MIN
        }
        else if (token == "?" || token == "@clip")
        {
            if (stack.size() < 3)
                return false;
            const int32_t b = stack.back();
            const int32_t a = stack[stack.size() - 2];
            const int32_t c = stack[stack.size() - 3];
            stack.resize(stack.size() - 3);
            if (token == "?")
                stack.push_back(c != 0 ? a : b);
            else
                stack.push_back(std::clamp(c, std::min(a, b), std::max(a, b)));
        }
        else if (IsBinary(token))
        {
            if (stack.size() < 2)
                return false;
            const int32_t b = stack.back();
            const int32_t a = stack[stack.size() - 2];
            stack.resize(stack.size() - 2);
            int32_t out = 0;
            if (!ApplyBinary(token, a, b, out))
                return false;
            stack.push_back(out);
        }
        else
            return false;
    }
    if (stack.size() != 1)
        return false;
    result = stack.back();
    return true;
}
