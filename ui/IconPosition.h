#pragma once

// Where an icon of the given size goes to sit centred in a client extent: (client - icon + 1) / 2
// in signed arithmetic, division truncating toward zero.
constexpr int CenteredIconOffset(int clientExtent, int iconExtent) {
    return (clientExtent - iconExtent + 1) / 2;
}
