// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Tav::International::detail {

// A catalogue's plural rule, as gettext's Plural-Forms header gives it:
// "nplurals=3; plural=(n%10==1 && n%100!=11 ? 0 : n != 0 ? 1 : 2);". The
// expression is compiled once into code for a small stack machine, so that
// choosing a form takes no recursion and no allocation; arithmetic is in
// unsigned long, as gettext's own evaluator does it.
class PluralRule {
public:
    // gettext's rule for catalogues that declare none: two forms, n != 1.
    PluralRule();

    // Parses the Plural-Forms value. Throws std::invalid_argument with a message
    // that says what is wrong and, for the expression, at which byte of the
    // value: a malformed expression, nesting deeper than maxNesting, nplurals
    // outside 1 to maxForms, or a value longer than maxLength.
    explicit PluralRule(std::string_view forms);

    static constexpr unsigned long maxForms = 100;
    // Real rules nest a few levels (the longest known chain of ?: has 6
    // branches) and are under 300 bytes; generated ones chain a few dozen ?:.
    static constexpr unsigned maxNesting = 200;
    static constexpr std::size_t maxLength = 4096;

    // The form for `n`, as ngettext chooses it: an index the expression gives
    // that is not below nplurals, and a division or remainder by zero, give form 0.
    unsigned long select(unsigned long n) const noexcept;

    unsigned long forms() const noexcept { return count; }

    // The rule in a canonical text form ("nplurals=2; plural=n != 1;"), as a
    // locale file stores it.
    const std::string& text() const noexcept { return source; }

private:
    enum Op : std::uint8_t {
        Number, N, Not, Mul, Div, Mod, Add, Sub, Less, Greater, LessEqual, GreaterEqual, Equal, NotEqual,
        JumpIfZero,  // pops the condition; jumps when it is zero
        Jump,
    };
    struct Instruction {
        Op op;
        unsigned long value;  // the constant, or the jump's target
    };
    friend class Parser;

    unsigned long count = 2;
    std::vector<Instruction> code;
    std::string source;
};

}  // namespace Tav::International::detail
