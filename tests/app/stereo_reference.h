// A plain transcription of the matcher, step by step and one scanline at a time, kept beside the
// fast one to check it bit for bit and to time it.
#pragma once

#include <cstdint>
#include <vector>

struct ReferenceParams {
    int maxDisparity;
    int p1, p2, p3, p4, p5; // already rounded, defaults already substituted
};

// Disparity map (rows of width bytes) of grey images with rows of width bytes.
std::vector<uint8_t> ReferenceDisparity(const uint8_t* left, const uint8_t* right, int width,
                                        int height, const ReferenceParams& params);
