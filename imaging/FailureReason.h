// Why a file routine failed, in words. parvane-cli prints the reason beneath the message and the
// window shows it as the message box's further text; both take the words from here, so they
// say the same. Every reason is made from one of the patterns below, so the window can find
// the pattern again and show it in the interface's language.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

// Marks a reason pattern for the translation catalogue (the catalogue's tool reads it as
// QT_TRANSLATE_NOOP); the core itself keeps the English.
#define PARVANE_REASON(context, text) text

namespace parvane::imaging::reasons {

// Reading a file.
inline constexpr const char* kFileMissing = PARVANE_REASON("Reason", "The file does not exist.");
inline constexpr const char* kIsFolder = PARVANE_REASON("Reason", "This is a folder, not a file.");
inline constexpr const char* kNotRegularFile =
    PARVANE_REASON("Reason", "This is not a regular file.");
inline constexpr const char* kCannotOpen =
    PARVANE_REASON("Reason", "The file cannot be opened (%1).");
inline constexpr const char* kCannotRead =
    PARVANE_REASON("Reason", "The file cannot be read (%1).");
inline constexpr const char* kFileTooLarge =
    PARVANE_REASON("Reason", "The file is larger than any picture Parvane can hold.");
inline constexpr const char* kEndsAfter =
    PARVANE_REASON("Reason", "The file ends after %1 of %2 bytes.");
inline constexpr const char* kNoMemory =
    PARVANE_REASON("Reason", "The picture's pixels do not fit in the memory left.");
inline constexpr const char* kNoReader = PARVANE_REASON("Reason", "No reader takes %1 files.");

// Any reader.
inline constexpr const char* kEmptyPicture =
    PARVANE_REASON("Reason", "%1: the picture is empty (%2).");
inline constexpr const char* kPictureTooLarge =
    PARVANE_REASON("Reason", "%1: a picture of %2 pixels is larger than Parvane can hold.");
inline constexpr const char* kRunLengthEnds =
    PARVANE_REASON("Reason", "%1: the run-length data ends early.");
inline constexpr const char* kRunLengthEndsInRow =
    PARVANE_REASON("Reason", "%1: the run-length data ends in row %2.");
inline constexpr const char* kBitsPerPixel =
    PARVANE_REASON("Reason", "%1: pixels of %2 bits are not read.");
inline constexpr const char* kCompression =
    PARVANE_REASON("Reason", "%1: compression %2 is not read.");

// TGA.
inline constexpr const char* kTgaNoImage =
    PARVANE_REASON("Reason", "TGA: image type 0 holds no picture.");
inline constexpr const char* kTgaImageType =
    PARVANE_REASON("Reason", "TGA: image type %1 is not read.");
inline constexpr const char* kTgaImageTypeDepth =
    PARVANE_REASON("Reason", "TGA: image type %1 with pixels of %2 bits is not read.");
inline constexpr const char* kTgaColourMapEntries =
    PARVANE_REASON("Reason", "TGA: colour map entries of %1 bits are not read.");

// PSD.
inline constexpr const char* kPsdVersion = PARVANE_REASON("Reason", "PSD: version %1 is not read.");
inline constexpr const char* kPsdColourMode =
    PARVANE_REASON("Reason", "PSD: colour mode %1 is not read.");
inline constexpr const char* kPsdChannelDepth =
    PARVANE_REASON("Reason", "PSD: channels of %1 bits are not read.");
inline constexpr const char* kPsdNoChannels =
    PARVANE_REASON("Reason", "PSD: the picture has no channels.");

// BMP.
inline constexpr const char* kBmpNoSignature =
    PARVANE_REASON("Reason", "BMP: the file does not begin with BM.");
inline constexpr const char* kBmpShortHeaders =
    PARVANE_REASON("Reason", "BMP: the file is shorter than its headers.");
inline constexpr const char* kBmpEmbedded =
    PARVANE_REASON("Reason", "BMP: embedded JPEG or PNG pictures are not read.");
inline constexpr const char* kBmpRowsPastEnd =
    PARVANE_REASON("Reason", "BMP: the pixel rows run past the end of the file.");
inline constexpr const char* kBmpBeyondPalette =
    PARVANE_REASON("Reason", "BMP: a pixel uses a colour beyond the palette.");

// PSD.
inline constexpr const char* kPsdNoSignature =
    PARVANE_REASON("Reason", "PSD: the file does not begin with 8BPS.");
inline constexpr const char* kPsdBitmapDepth =
    PARVANE_REASON("Reason", "PSD: bitmap mode with channels of %1 bits.");
inline constexpr const char* kPsdTooFewChannels =
    PARVANE_REASON("Reason", "PSD: %1 channels are too few for colour mode %2.");
inline constexpr const char* kPsdOneBit =
    PARVANE_REASON("Reason", "PSD: 1-bit channels outside bitmap mode are not read.");
inline constexpr const char* kPsdIndexedDepth =
    PARVANE_REASON("Reason", "PSD: indexed colour with channels of %1 bits is not read.");
inline constexpr const char* kPsdNoPalette =
    PARVANE_REASON("Reason", "PSD: the indexed picture lacks its 768-byte palette.");
inline constexpr const char* kPsdPackedRow =
    PARVANE_REASON("Reason", "PSD: packed row %1 is damaged.");
inline constexpr const char* kPsdPackedRowOfChannel =
    PARVANE_REASON("Reason", "PSD: packed row %1 of channel %2 is damaged.");

// PCX.
inline constexpr const char* kPcxShortHeader =
    PARVANE_REASON("Reason", "PCX: the file is shorter than its 128-byte header.");
inline constexpr const char* kPcxWindow =
    PARVANE_REASON("Reason", "PCX: the picture window ends before it starts.");
inline constexpr const char* kPcxBytesPerLine =
    PARVANE_REASON("Reason", "PCX: %1 bytes per line are too few for a width of %2.");
inline constexpr const char* kPcxRawEnds =
    PARVANE_REASON("Reason", "PCX: the raw pixel data ends before the last row.");
inline constexpr const char* kPcxRunLengthShort =
    PARVANE_REASON("Reason", "PCX: the run-length data is far too short for the picture.");
inline constexpr const char* kPcxNotPcx =
    PARVANE_REASON("Reason", "PCX: the first byte is not 10 or 205.");
inline constexpr const char* kPcxPlanes =
    PARVANE_REASON("Reason", "PCX: %1 planes of %2 bits are not read.");

// PSP, whose reasons are worded as fragments after the format's name (the full stop is added
// where they are shown).
inline constexpr const char* kPspShortHeader =
    PARVANE_REASON("Reason", "PSP: file shorter than its header");
inline constexpr const char* kPspNoSignature =
    PARVANE_REASON("Reason", "PSP: no Paint Shop Pro signature");
inline constexpr const char* kPspVersion =
    PARVANE_REASON("Reason", "PSP: major version %1 is older than 3");
inline constexpr const char* kPspBlockMarker =
    PARVANE_REASON("Reason", "PSP: block marker missing at offset %1");
inline constexpr const char* kPspBlockPastEnd =
    PARVANE_REASON("Reason", "PSP: block %1 runs past the end");
inline constexpr const char* kPspBlockHeader =
    PARVANE_REASON("Reason", "PSP: block %1 has a damaged header");
inline constexpr const char* kPspAttributesCutShort =
    PARVANE_REASON("Reason", "PSP: image attributes are cut short");
inline constexpr const char* kPspPaletteDamaged =
    PARVANE_REASON("Reason", "PSP: damaged colour palette");
inline constexpr const char* kPspNoAttributes =
    PARVANE_REASON("Reason", "PSP: no image attributes block");
inline constexpr const char* kPspDepth =
    PARVANE_REASON("Reason", "PSP: %1-bit pictures are not supported");
inline constexpr const char* kPspCompression =
    PARVANE_REASON("Reason", "PSP: compression %1 is not supported");
inline constexpr const char* kPspCannotHoldPicture =
    PARVANE_REASON("Reason", "PSP: %1 bytes cannot hold a picture of %2x%3");
inline constexpr const char* kPspBeyondLimit =
    PARVANE_REASON("Reason", "PSP: %1 pixels are beyond this decode's limit of %2");
inline constexpr const char* kPspNothingToShow =
    PARVANE_REASON("Reason", "PSP: the file holds neither a composite image nor layers");
inline constexpr const char* kPspCompositeDamaged =
    PARVANE_REASON("Reason", "PSP: damaged composite image");
inline constexpr const char* kPspChannelPastBlock =
    PARVANE_REASON("Reason", "PSP: channel data runs past its block");
inline constexpr const char* kPspChannelCannotFill =
    PARVANE_REASON("Reason", "PSP: %1 bytes of channel data cannot fill %2x%3 pixels");
inline constexpr const char* kPspRunLengthEnds =
    PARVANE_REASON("Reason", "PSP: run-length channel data ends early");
inline constexpr const char* kPspDeflateDamaged =
    PARVANE_REASON("Reason", "PSP: deflate channel data is damaged");
inline constexpr const char* kPspJpegChannels =
    PARVANE_REASON("Reason", "PSP: JPEG-compressed channels are not supported");
inline constexpr const char* kPspNoColourChannel =
    PARVANE_REASON("Reason", "PSP: a bitmap lacks one of its red, green and blue channels");
inline constexpr const char* kPspNoIndexChannel =
    PARVANE_REASON("Reason", "PSP: a paletted bitmap lacks its index channel");
inline constexpr const char* kPspLayerCutShort =
    PARVANE_REASON("Reason", "PSP: a layer is cut short");
inline constexpr const char* kPspGroupDamaged =
    PARVANE_REASON("Reason", "PSP: a layer group is damaged");
inline constexpr const char* kPspBitmapInfoDamaged =
    PARVANE_REASON("Reason", "PSP: layer bitmap information is damaged");
inline constexpr const char* kPspLayerTooLarge =
    PARVANE_REASON("Reason", "PSP: a layer of %1x%2 pixels is too large");
inline constexpr const char* kPspGroupsNest =
    PARVANE_REASON("Reason", "PSP: layer groups nest more than %1 deep");
inline constexpr const char* kPspGroupCanvasesNest =
    PARVANE_REASON("Reason", "PSP: masked or faded layer groups nest more than %1 deep");
inline constexpr const char* kPspCannotHoldLayers =
    PARVANE_REASON("Reason", "PSP: %1 bytes cannot hold layers of %2 pixels");
inline constexpr const char* kPspNoVisibleLayer =
    PARVANE_REASON("Reason", "PSP: no visible raster layer to show");

// PNG.
inline constexpr const char* kPngNoSignature =
    PARVANE_REASON("Reason", "PNG: the file does not begin with the PNG signature.");
inline constexpr const char* kPngEndsEarly =
    PARVANE_REASON("Reason", "PNG: the file ends before its picture does.");
inline constexpr const char* kPngChunkCrc =
    PARVANE_REASON("Reason", "PNG: the %1 chunk fails its CRC check.");
inline constexpr const char* kPngPixelData =
    PARVANE_REASON("Reason", "PNG: the compressed pixel data is damaged (%1).");
inline constexpr const char* kPngCannotHold =
    PARVANE_REASON("Reason", "PNG: %1 bytes of pixel data cannot hold a picture of %2.");
inline constexpr const char* kPngDamaged =
    PARVANE_REASON("Reason", "PNG: the file is damaged (%1).");

// Writing a file; the system's reason stands in brackets.
inline constexpr const char* kNoFileName = PARVANE_REASON("Reason", "No file name was given.");
inline constexpr const char* kSaveOnFolder =
    PARVANE_REASON("Reason", "The name is that of a folder.");
inline constexpr const char* kReadOnly = PARVANE_REASON("Reason", "The file is read-only (%1).");
inline constexpr const char* kFolderNotWritable =
    PARVANE_REASON("Reason", "The folder cannot be written (%1).");
inline constexpr const char* kWriteFailed = PARVANE_REASON("Reason", "Writing failed (%1).");
inline constexpr const char* kPermissionsFailed =
    PARVANE_REASON("Reason", "Setting the file's permissions failed (%1).");
inline constexpr const char* kReplaceFailed =
    PARVANE_REASON("Reason", "Replacing the file failed (%1).");
inline constexpr const char* kBmpTooLarge =
    PARVANE_REASON("Reason", "The picture is too large for a BMP file.");
inline constexpr const char* kTgaTooLarge =
    PARVANE_REASON("Reason", "A TGA picture is at most %1 pixels on each side.");

// The level reader, which words its reasons as fragments (the window makes them sentences).
inline constexpr const char* kLevelEndsInPalettes =
    PARVANE_REASON("Reason", "the file ends inside its palettes");
inline constexpr const char* kLevelEndsBeforePageCount =
    PARVANE_REASON("Reason", "the file ends before its page count");
inline constexpr const char* kLevelEndsInTextureHeader =
    PARVANE_REASON("Reason", "the file ends inside its texture header");
inline constexpr const char* kLevelPageCount =
    PARVANE_REASON("Reason", "page count %1 is beyond the %2 pages a strip can hold");
inline constexpr const char* kLevelPagesNeed =
    PARVANE_REASON("Reason", "%1 texture pages need %2 bytes, only %3 are left");
inline constexpr const char* kLevelDataDeclares =
    PARVANE_REASON("Reason", "the level data declares %1 bytes, only %2 are left");
inline constexpr const char* kLevelRoomDeclares =
    PARVANE_REASON("Reason", "a room declares %1 bytes, only %2 are left");
inline constexpr const char* kLevelLargerThan =
    PARVANE_REASON("Reason", "the file is larger than %1 MiB");

// Every pattern above, for the window's translation.
std::span<const char* const> allPatterns();

// The pattern with %1, %2, ... replaced by the arguments in order.
std::string format(std::string_view pattern, std::initializer_list<std::string_view> args);
// A count of bytes with its thousands grouped by commas ("65,554").
std::string grouped(std::uint64_t count);
// "The file ends after <have> of <need> bytes."
std::string endsAfter(std::uint64_t have, std::uint64_t need);
// The text made a sentence: a capital first letter and a closing full stop, as the readers'
// libraries and the level reader word their reasons in fragments.
std::string sentence(std::string text);

} // namespace parvane::imaging::reasons
