#pragma once

// Everything the library offers.
#include <tav/core/object.hpp>
#include <tav/format/fourcc.hpp>
#include <tav/format/riff/chunk.hpp>
#include <tav/format/riff/file.hpp>
#include <tav/format/riff/list.hpp>
