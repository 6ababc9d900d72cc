#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace bglc::demo {

// Where the demo templates put the stand parameters in the model data. Every main source in
// data/vgds_source includes its parameter source (NAME_0.asm) before anything else, and every
// parameter source holds the same block, so each value sits at the same offset in every template.
// Offsets count from the start of the model data; in the file, add kModelDataOffset (mdl_file.h).

enum class SlotType { kWord, kDword, kReal4 };  // dw, dd (signed here), real4

struct ParameterSlot {
  std::string_view token;  // the placeholder the tool replaces on that source line
  std::size_t offset;
  SlotType type;
};

inline constexpr std::array<ParameterSlot, 11> kParameterSlots{{
    {"NVLH", 0, SlotType::kWord},
    {"NVL", 2, SlotType::kWord},
    {"VISIBILITY_DISTANCE", 4, SlotType::kDword},
    {"HEADING_VECTOR_X", 8, SlotType::kDword},
    {"HEADING_VECTOR_Y", 12, SlotType::kDword},
    {"STOP_DISTANCE", 16, SlotType::kDword},
    {"LATERAL_DISTANCE", 20, SlotType::kDword},
    {"BAR_DISTANCE1", 24, SlotType::kReal4},
    {"BAR_DISTANCE2", 28, SlotType::kReal4},
    {"BAR_POSITION1", 32, SlotType::kReal4},
    {"BAR_POSITION2", 36, SlotType::kReal4},
}};

inline constexpr std::size_t kParameterBlockSize = 40;

// Base names: NAME.asm is the main source, NAME_0.asm the parameter source, NAME.vgp the descriptor.
inline constexpr std::array<std::string_view, 5> kDemoTemplates{"guidance_display", "fixed_display", "nose_in",
                                                                "lateral_bars", "gate_sign"};

}  // namespace bglc::demo
