#pragma once
// Colours of the diagram elements, as 0x00BBGGRR values.
#include <cstdint>

constexpr uint32_t diagramRgb(int r, int g, int b) {
    return static_cast<uint32_t>(r | (g << 8) | (b << 16));
}

constexpr uint32_t kBackgroundColour = diagramRgb(192, 192, 192);  // erasing; the back of every element
constexpr uint32_t kShadowColour = diagramRgb(128, 128, 128);
constexpr uint32_t kWhiteColour = diagramRgb(255, 255, 255);
constexpr uint32_t kLightOrangeColour = diagramRgb(255, 176, 128);  // reversing loops
constexpr uint32_t kCyanColour = diagramRgb(0, 255, 255);            // blocks only 'H'
constexpr uint32_t kMagentaColour = diagramRgb(255, 0, 255);         // blocks only 'T'
constexpr uint32_t kYellowColour = diagramRgb(255, 255, 0);
constexpr uint32_t kMaroonColour = diagramRgb(128, 0, 0);
constexpr uint32_t kRedColour = diagramRgb(255, 0, 0);
constexpr uint32_t kGreenColour = diagramRgb(0, 255, 0);
constexpr uint32_t kDarkGreenColour = diagramRgb(0, 128, 0);
constexpr uint32_t kGrey176Colour = diagramRgb(176, 176, 176);  // inactive turnout leg during a session
constexpr uint32_t kBlackColour = 0;

// An element on a hidden layer is drawn faded: (colour AND 176,176,176) OR 144,144,144 per channel.
constexpr uint32_t hiddenLayerColour(uint32_t colour) { return (colour & 0xB0B0B0u) | 0x909090u; }
