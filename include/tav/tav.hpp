// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

// Everything the library offers.
#include <tav/core/object.hpp>
#include <tav/format/fourcc.hpp>
#include <tav/format/ostrane/file.hpp>
#include <tav/format/ostrane/node.hpp>
#include <tav/format/riff/chunk.hpp>
#include <tav/format/riff/file.hpp>
#include <tav/format/riff/list.hpp>
#include <tav/international/locale.hpp>
#include <tav/io/event.hpp>
#include <tav/io/keyboard.hpp>
#include <tav/security/crc32.hpp>
#include <tav/string/string.hpp>
#include <tav/threading/timer.hpp>
