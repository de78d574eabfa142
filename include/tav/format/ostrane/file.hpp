// SPDX-License-Identifier: BSL-1.0
// Copyright (c) 2026 The Tav developers
#pragma once

#include <istream>
#include <string>

#include <tav/export.hpp>
#include <tav/format/ostrane/node.hpp>
#include <tav/format/riff/file.hpp>

namespace Tav::Format::Ostrane {

/// A RIFF file whose nodes are fetched by paths such as "/BODY.ORL/STRN.code".
///
/// A path is an optional prefix ("OSTR" or "."), then segments, each "/" followed
/// by an optional type (a letter and three letters, digits or spaces), an optional
/// name (a dot, a letter, then letters, digits and underscores) and an optional
/// index ("#" and digits). Each segment keeps the children whose chunk id, or list
/// type for lists, equals its type (all children when it has none) and takes the
/// one at its index, counted from 0. Names are parsed but do not narrow the
/// choice. A "/" at the very end adds no segment.
///
/// A lookup returns a reference to a new Node, which the caller deletes. Hold it
/// by its address at once; `Node n = file[path];` copies the node and leaks the
/// one the lookup made:
///
///     std::unique_ptr<Tav::Format::Ostrane::Node> code(&file["/BODY.ORL/STRN.code"]);
///     const char* payload = code->open();
///
/// Every node reads through the file: the file, not only its stream, must
/// outlive every node it returns.
///
/// The lookup's own failures are pointers the catcher deletes; an index too large
/// for a signed 32-bit integer ("/STRN#99999999999") is the standard conversion's
/// std::out_of_range, thrown by value:
///
///     try {
///         std::unique_ptr<Node> node(&file[path]);
///     } catch (std::exception* e) {           // "Invalid path ...", "Invalid node index ..."
///         std::unique_ptr<std::exception> owned(e);
///     } catch (const std::out_of_range& e) {  // an index past 2147483647
///     }
class TAV_API File : public RIFF::File {
public:
    File() noexcept;
    /// As RIFF::File's stream constructor; the stream must outlive the file and
    /// every node fetched from it.
    explicit File(std::istream& stream);
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    /// Returns a new Node that the caller deletes. Throws, as pointers to new objects:
    /// std::invalid_argument "Invalid path in Format::Ostrane::File::operator[]"
    ///   (also for paths that select nothing: "", "/", "OSTR", ".", "OSTR/", "./", and null),
    /// std::range_error "Invalid node index in Format::Ostrane::File::operator[]",
    /// std::invalid_argument "Cannot use node as list in Format::Ostrane::File::operator[]";
    /// and, by value, std::out_of_range for an index too large for a signed 32-bit integer.
    Node& operator[](const std::string& path);
    /// The same for a zero-terminated path; a null path is invalid.
    Node& operator[](const char* path);
};

}  // namespace Tav::Format::Ostrane
