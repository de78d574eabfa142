#include <tav/format/ostrane/file.hpp>

#include <stdexcept>

#include "detail/fail.hpp"
#include "format/ostrane/path.hpp"

namespace Tav::Format::Ostrane {

using Tav::detail::fail;

File::File() noexcept : RIFF::File() { stamp("TFrmtOstrFi", 96); }

File::File(std::istream& stream) : RIFF::File(stream) { stamp("TFrmtOstrFi", 96); }

Node& File::operator[](const char* path) {
    if (!path) fail<std::invalid_argument>("Invalid path in Format::Ostrane::File::operator[]");
    return (*this)[std::string(path)];
}

Node& File::operator[](const std::string& path) {
    const std::vector<detail::Step> steps = detail::parsePath(path);
    RIFF::List* current = this;
    // The last step never walks on, so the loop always ends in a return or a throw.
    for (auto step = steps.begin();; ++step) {
        // Candidates are counted only as far as the index needs: the result is the
        // same as filtering them all first, with fewer reads of the stream.
        RIFF::Chunk* selected = nullptr;
        std::uint32_t passed = 0;
        for (std::int32_t i = 0, n = current->count(); i < n && !selected; ++i) {
            RIFF::Chunk& child = (*current)[static_cast<std::uint32_t>(i)];
            if (step->type.value != 0) {
                const FourCC id = child.type();
                FourCC listType{};
                if (id.value == KnownFourCC::LIST.value) read(child.offset() + 8, 4, listType.chars);
                if (id.value != step->type.value && listType.value != step->type.value) continue;
            }
            if (passed++ == step->index) selected = &child;
        }
        if (!selected) fail<std::range_error>("Invalid node index in Format::Ostrane::File::operator[]");
        if (!step->list) return *new Node(*selected);
        // The tag is checked as well as the id, so that only a loaded list is walked into.
        if (selected->type().value != KnownFourCC::LIST.value || !RIFF::List::is(*selected))
            fail<std::invalid_argument>("Cannot use node as list in Format::Ostrane::File::operator[]");
        current = static_cast<RIFF::List*>(selected);
    }
}

}  // namespace Tav::Format::Ostrane
