// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#include <tav/format/fourcc.hpp>

namespace Tav::Format::KnownFourCC {

const FourCC RIFF = {{'R', 'I', 'F', 'F'}};
const FourCC LIST = {{'L', 'I', 'S', 'T'}};
const FourCC OSTR = {{'O', 'S', 'T', 'R'}};
const FourCC NAME = {{'O', 'S', 'T', 'R'}};

}  // namespace Tav::Format::KnownFourCC
