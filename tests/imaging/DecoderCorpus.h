// Helpers for checking decoders against the peer corpus: its manifest rows and comparison of a
// decoded bitmap with the trusted oracle PNG.
#pragma once

#include "imaging/Bitmap.h"
#include "support/TestData.h"

#include <QImage>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace parvane::testing::corpus {

struct ManifestRow {
    std::string path;     // relative to the peer folder
    std::string format;   // "PCX", "TIFF", "TIFF(BigTIFF)", ...
    std::string category; // good, questionable, bad
    std::string trust;    // both, pillow, magick, convention, none, ...
    std::string oraclePng;
};

inline std::vector<ManifestRow> manifestRows(const std::string& formatPrefix) {
    std::vector<ManifestRow> rows;
    std::ifstream in(peerFile("manifest.tsv"));
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        std::vector<std::string> cols;
        std::stringstream ss(line);
        std::string col;
        while (std::getline(ss, col, '\t'))
            cols.push_back(col);
        if (cols.size() < 21 || cols[1].rfind(formatPrefix, 0) != 0)
            continue;
        rows.push_back({cols[0], cols[1], cols[2], cols[19], cols[20]});
    }
    return rows;
}

// How strictly a decoding is compared with its oracle.
struct Tolerance {
    int channel = 0;        // largest difference allowed in any colour channel
    double mean = 0.0;      // largest mean absolute difference over all colour channels
    bool checkAlpha = true; // compare alpha where the bitmap carries it
};

// Compares colours (and, for 32-bit bitmaps, alpha) with the oracle; empty when they match.
// Bitmaps without alpha must come from pictures the oracle shows fully opaque.
inline std::string compareWithOracle(const imaging::Bitmap& bitmap, const QImage& oracleImage,
                                     const Tolerance& tolerance) {
    const QImage oracle = oracleImage.convertToFormat(QImage::Format_RGBA8888);
    if (oracle.isNull())
        return "oracle PNG did not load";
    if (oracle.width() != bitmap.width() || oracle.height() != bitmap.height())
        return "size " + std::to_string(bitmap.width()) + "x" + std::to_string(bitmap.height()) +
               ", oracle " + std::to_string(oracle.width()) + "x" + std::to_string(oracle.height());
    const bool hasAlpha = bitmap.format() == imaging::PixelFormat::Bits32;
    long long sum = 0;
    int worst = 0;
    std::string first;
    for (int y = 0; y < bitmap.height(); ++y) {
        const uchar* o = oracle.constScanLine(y);
        for (int x = 0; x < bitmap.width(); ++x, o += 4) {
            const imaging::Colour c = bitmap.pixel(x, y);
            const int d[3] = {std::abs(c.red - o[0]), std::abs(c.green - o[1]),
                              std::abs(c.blue - o[2])};
            for (int v : d) {
                sum += v;
                if (v > worst)
                    worst = v;
                if (v > tolerance.channel && first.empty())
                    first = "pixel " + std::to_string(x) + "," + std::to_string(y) + " is " +
                            std::to_string(c.red) + "," + std::to_string(c.green) + "," +
                            std::to_string(c.blue) + ", oracle " + std::to_string(o[0]) + "," +
                            std::to_string(o[1]) + "," + std::to_string(o[2]);
            }
            if (tolerance.checkAlpha && first.empty()) {
                const int alpha = hasAlpha ? bitmap.alphaAt(x, y) : 255;
                if (std::abs(alpha - o[3]) > tolerance.channel)
                    first = "alpha at " + std::to_string(x) + "," + std::to_string(y) + " is " +
                            std::to_string(alpha) + ", oracle " + std::to_string(o[3]);
            }
        }
    }
    const double mean =
        static_cast<double>(sum) / (3.0 * bitmap.width() * static_cast<double>(bitmap.height()));
    if (tolerance.mean > 0.0) {
        if (mean > tolerance.mean)
            return "mean difference " + std::to_string(mean) + " (largest " +
                   std::to_string(worst) + ")";
        return {};
    }
    return first;
}

inline QImage loadOracle(const std::string& relative) {
    return QImage(QString::fromStdString(peerFile(relative).string()));
}

} // namespace parvane::testing::corpus
