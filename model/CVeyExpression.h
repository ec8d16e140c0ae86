#pragma once
// Small postfix integer expressions of the script ("fm.pat.common.mode,1,==", "7,1,10,@clip"):
// comma-separated tokens (commas inside square brackets do not split), evaluated to one 32-bit
// number. Operators are matched as written in the script, the escaped forms included ("&lt;",
// "&amp;&amp;"). Arithmetic wraps around; division by zero fails the evaluation.
#include "model/CVeyValueRef.h"

#include <cstdint>
#include <string>

class CVeyExpression
{
public:
    // A name that is not among `refs` fails.
    static bool EvaluateStrict(const std::string& expression, CVeyValueRefs& refs, int32_t& result);
    // A name that is not among `refs` is resolved through the buffer manager and appended to them.
    static bool EvaluateLenient(const std::string& expression, CVeyValueRefs& refs, int32_t& result);
    static bool Evaluate(const std::string& expression, CVeyValueRefs& refs, int32_t& result, bool lenient);

private:
    friend class CVeyValueRef;
    static bool Evaluate(const std::string& expression, CVeyValueRefs& refs, int32_t& result, bool lenient, int depth);
};
