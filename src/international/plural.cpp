// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include "international/plural.hpp"

#include <stdexcept>

namespace Tav::International::detail {

namespace {

// The deepest stack any accepted rule needs; deeper rules are refused.
constexpr unsigned stackLimit = 256;

}  // namespace

// Recursive descent over gettext's grammar (?: right-associative; ||, &&, == !=,
// < > <= >=, + -, * / % left-associative, in rising precedence; unary !). The
// recursion is bounded by maxNesting; the code it emits runs without any.
class Parser {
public:
    // `text` is the expression, `whole` the Plural-Forms value it stands in, from
    // whose start errors count their byte.
    Parser(std::string_view whole, std::string_view text, PluralRule& rule)
        : begin(whole.data()), at(text.data()), end(text.data() + text.size()), rule(rule) {}

    void parse() {
        ternary();  // which ends on a token it did not take, past any blanks
        // As in gettext, the expression ends at ';', a line feed or the end.
        if (at != end && *at != ';' && *at != '\n') fail("unexpected '" + std::string(1, *at) + "'");
    }

private:
    using Op = PluralRule::Op;

    [[noreturn]] void fail(const std::string& what) const {
        throw std::invalid_argument(what + " at byte " + std::to_string(at - begin));
    }

    void skipBlanks() {
        while (at != end && (*at == ' ' || *at == '\t')) ++at;
    }
    bool accept(std::string_view token) {
        skipBlanks();
        if (static_cast<std::size_t>(end - at) < token.size() || std::string_view(at, token.size()) != token) return false;
        // "<" is not "<=", and "!" is not "!=".
        if (token.size() == 1 && (token == "<" || token == ">" || token == "!") && end - at > 1 && at[1] == '=')
            return false;
        at += token.size();
        return true;
    }
    void expect(char c) {
        if (!accept(std::string_view(&c, 1))) fail(std::string("'") + c + "' expected");
    }

    std::size_t emit(Op op, unsigned long value = 0) {
        rule.code.push_back({op, value});
        if (op == Op::Number || op == Op::N) {
            if (++depth > stackLimit) fail("expression nested too deeply");
        } else if (op != Op::Not && op != Op::Jump) {
            --depth;  // binary operators and the conditional jump take one operand off
        }
        return rule.code.size() - 1;
    }
    void land(std::size_t jump) { rule.code[jump].value = rule.code.size(); }

    struct Nested {
        explicit Nested(Parser& p) : parser(p) {
            if (++parser.nesting > PluralRule::maxNesting) parser.fail("expression nested too deeply");
        }
        ~Nested() { --parser.nesting; }
        Parser& parser;
    };

    void ternary() {
        const Nested nested(*this);
        logicalOr();
        if (!accept("?")) return;
        const std::size_t toElse = emit(Op::JumpIfZero);
        ternary();
        const std::size_t toEnd = emit(Op::Jump);
        --depth;  // the else branch replaces the then branch's value
        land(toElse);
        expect(':');
        ternary();
        land(toEnd);
    }
    // a || b is a ? 1 : b != 0, and a && b is a ? b != 0 : 0: the right side is
    // evaluated only when needed, as in gettext (it matters for a division by zero).
    void logicalOr() {
        logicalAnd();
        while (accept("||")) {
            const std::size_t toRight = emit(Op::JumpIfZero);
            emit(Op::Number, 1);
            const std::size_t toEnd = emit(Op::Jump);
            --depth;
            land(toRight);
            logicalAnd();
            emit(Op::Number, 0);
            emit(Op::NotEqual);
            land(toEnd);
        }
    }
    void logicalAnd() {
        binary();
        while (accept("&&")) {
            const std::size_t toFalse = emit(Op::JumpIfZero);
            binary();
            emit(Op::Number, 0);
            emit(Op::NotEqual);
            const std::size_t toEnd = emit(Op::Jump);
            --depth;
            land(toFalse);
            emit(Op::Number, 0);
            land(toEnd);
        }
    }
    // The left-associative binary operators, a level each in rising precedence;
    // a longer token stands before its prefix ("<=" before "<").
    struct Binary {
        std::string_view token;
        Op op;
    };
    static constexpr Binary levels[][4] = {
        {{"==", Op::Equal}, {"!=", Op::NotEqual}},
        {{"<=", Op::LessEqual}, {">=", Op::GreaterEqual}, {"<", Op::Less}, {">", Op::Greater}},
        {{"+", Op::Add}, {"-", Op::Sub}},
        {{"*", Op::Mul}, {"/", Op::Div}, {"%", Op::Mod}},
    };
    static constexpr std::size_t levelCount = sizeof levels / sizeof levels[0];

    void binary(std::size_t level = 0) {
        if (level == levelCount) return unary();
        binary(level + 1);
        for (bool more = true; more;) {
            more = false;
            for (const Binary& b : levels[level]) {
                if (b.token.empty() || !accept(b.token)) continue;
                binary(level + 1);
                emit(b.op);
                more = true;
                break;
            }
        }
    }
    void unary() {
        if (!accept("!")) return primary();
        const Nested nested(*this);
        unary();
        emit(Op::Not);
    }
    void primary() {
        if (accept("n")) {  // past any blanks
            emit(Op::N);
        } else if (at != end && *at >= '0' && *at <= '9') {
            unsigned long value = 0;  // wraps as gettext's own reader does
            for (; at != end && *at >= '0' && *at <= '9'; ++at) value = value * 10 + static_cast<unsigned long>(*at - '0');
            emit(Op::Number, value);
        } else if (accept("(")) {
            ternary();
            expect(')');
        } else {
            fail(at == end ? "expression ends early" : "unexpected '" + std::string(1, *at) + "'");
        }
    }

    const char* begin;
    const char* at;
    const char* end;
    PluralRule& rule;
    unsigned nesting = 0;
    unsigned depth = 0;
};

PluralRule::PluralRule() : PluralRule("nplurals=2; plural=n != 1;") {}

PluralRule::PluralRule(std::string_view forms) {
    const std::size_t first = forms.find_first_not_of(" \t\r\n");
    forms = first == std::string_view::npos ? std::string_view() : forms.substr(first);
    forms = forms.substr(0, forms.find_last_not_of(" \t\r\n") + 1);
    if (forms.size() > maxLength) throw std::invalid_argument("longer than " + std::to_string(maxLength) + " bytes");
    source = std::string(forms);
    // Found the way gettext finds them: anywhere in the value.
    const std::size_t nplurals = forms.find("nplurals="), plural = forms.find("plural=");
    if (nplurals == std::string_view::npos) throw std::invalid_argument("no nplurals=");
    if (plural == std::string_view::npos) throw std::invalid_argument("no plural=");
    std::size_t at = nplurals + 9;
    while (at < forms.size() && (forms[at] == ' ' || forms[at] == '\t')) ++at;
    unsigned long value = 0;
    const std::size_t digits = at;
    for (; at < forms.size() && forms[at] >= '0' && forms[at] <= '9'; ++at)
        value = value > maxForms ? value : value * 10 + static_cast<unsigned long>(forms[at] - '0');
    if (at == digits || value < 1 || value > maxForms)
        throw std::invalid_argument("nplurals must be a number from 1 to " + std::to_string(maxForms));
    count = value;
    Parser(forms, forms.substr(plural + 7), *this).parse();
}

unsigned long PluralRule::select(unsigned long n) const noexcept {
    unsigned long stack[stackLimit];
    std::size_t top = 0;
    for (std::size_t pc = 0; pc < code.size(); ++pc) {
        const Instruction& in = code[pc];
        switch (in.op) {
            case Number: stack[top++] = in.value; continue;
            case N: stack[top++] = n; continue;
            case Not: stack[top - 1] = !stack[top - 1]; continue;
            case JumpIfZero:
                if (stack[--top] == 0) pc = in.value - 1;
                continue;
            case Jump: pc = in.value - 1; continue;
            default: break;
        }
        const unsigned long b = stack[--top];
        unsigned long& a = stack[top - 1];
        switch (in.op) {
            case Mul: a = a * b; break;
            case Div: if (b == 0) return 0; a = a / b; break;
            case Mod: if (b == 0) return 0; a = a % b; break;
            case Add: a = a + b; break;
            case Sub: a = a - b; break;
            case Less: a = a < b; break;
            case Greater: a = a > b; break;
            case LessEqual: a = a <= b; break;
            case GreaterEqual: a = a >= b; break;
            case Equal: a = a == b; break;
            default: a = a != b; break;  // NotEqual
        }
    }
    return stack[0] < count ? stack[0] : 0;
}

}  // namespace Tav::International::detail
