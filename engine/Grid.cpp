#include "engine/Grid.h"

#include "engine/Angles.h"

#include "engine/Message.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sys/types.h>

static_assert(std::endian::native == std::endian::little,
              "the data files are little-endian and are read as they lie");

namespace ebc {

namespace {

constexpr double kDegToRad = kTableDegToRad;
constexpr double kRadToDeg = kTableRadToDeg;
constexpr std::int64_t kFixedHeaderSize = 44;
constexpr std::int64_t kExtraBlockSize = 16 * 8;

// Closes the file on every path out.
class InputFile {
public:
    explicit InputFile(const char* path) : file_(path ? std::fopen(path, "rb") : nullptr) {}
    ~InputFile()
    {
        if (file_)
            std::fclose(file_);
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    bool seek(std::int64_t offset) { return fseeko(file_, static_cast<off_t>(offset), SEEK_SET) == 0; }
    bool read(void* buffer, std::size_t bytes) { return std::fread(buffer, 1, bytes, file_) == bytes; }
    std::int64_t size()
    {
        if (fseeko(file_, 0, SEEK_END) != 0)
            return -1;
        return static_cast<std::int64_t>(ftello(file_));
    }

private:
    std::FILE* file_;
};

bool Within(double stored, double expected, double tolerance)
{
    // Written so that a NaN in the file fails the check.
    return std::fabs(stored - expected) <= tolerance;
}

std::int64_t RecordOffset(const GridHeader& h, const GridCell& cell)
{
    return h.headerSize +
           ((static_cast<std::int64_t>(cell.row) - 1) * h.ncols + (cell.column - 1)) * h.recordSize;
}

struct RecordMessages {
    const char* readPosition;
    const char* latitudeCheck;   // nullptr: position not checked
    const char* longitudeCheck;
    const char* readConstants;
};

constexpr RecordMessages kNearestMessages = {
    "Error in fread() of data record - A",
    "Problem with the lat,lng calculation or data read - A",
    "Problem with the lat,lng calculation or data read - B",
    "Error in fread() of data record - B",
};

constexpr RecordMessages kCornerMessages = {
    "Error in fread() of data record - C",
    "Problem with the lat,lng calculation or data read - C",
    "Problem with the lat,lng calculation or data read - D",
    "Error in fread() of data record - D",
};

int ReadRecord(InputFile& file, const GridHeader& h, const GridCell& cell, bool checkPosition,
               const RecordMessages& messages, PointConstants& out)
{
    if (!file.seek(RecordOffset(h, cell))) {
        ShowMessageBox("Error in fseek()");
        return 5;
    }
    double position[2];
    if (!file.read(position, sizeof position)) {
        ShowMessageBox(messages.readPosition);
        return 6;
    }
    if (checkPosition) {
        double lat = 0, lon = 0;
        GridCellToPosition(h, cell.column, cell.row, lat, lon);
        if (!Within(position[0], lat, 0.1 * h.dLat)) {
            ShowMessageBox(messages.latitudeCheck);
            return 7;
        }
        if (!Within(position[1], lon, 0.1 * h.dLong)) {
            ShowMessageBox(messages.longitudeCheck);
            return 7;
        }
    }
    double values[6 * kConstituentCount];
    if (!file.read(values, sizeof(double) * 6 * static_cast<std::size_t>(h.nconst))) {
        ShowMessageBox(messages.readConstants);
        return 6;
    }
    for (int i = 0; i < h.nconst; ++i) {
        const double* v = values + 6 * i;
        out.heightAmp[i] = v[0];
        out.heightPhase[i] = v[1];
        out.uAmp[i] = v[2];
        out.uPhase[i] = v[3];
        out.vAmp[i] = v[4];
        out.vPhase[i] = v[5];
    }
    return 0;
}

int Availability(const PointConstants& c)
{
    int flags = 0;
    if (c.heightAmp[0] < 0)
        flags |= kNoHeight;
    if (c.uAmp[0] < 0 || c.vAmp[0] < 0)
        flags |= kNoStream;
    return flags;
}

// One value (a C or S component) of each corner of the cell.
struct Corners {
    double nw, ne, sw, se;
};

double Combine(int mask, double fx, double fy, const Corners& c)
{
    constexpr double third = 0.3333333333333333;
    switch (mask) {
    case 0:
        return (1 - fy) * ((1 - fx) * c.nw + fx * c.ne) + fy * ((1 - fx) * c.sw + fx * c.se);
    case 1000:
        return (c.ne + c.sw + c.se) * third;
    case 100:
        return (c.nw + c.sw + c.se) * third;
    case 10:
        return (c.nw + c.ne + c.se) * third;
    case 1:
        return (c.nw + c.ne + c.sw) * third;
    case 11:
        return (1 - fx) * c.nw + fx * c.ne;
    case 1100:
        return (1 - fx) * c.sw + fx * c.se;
    case 101:
        return (1 - fy) * c.nw + fy * c.sw;
    case 1010:
        return (1 - fy) * c.ne + fy * c.se;
    case 110:
        return (c.nw + c.se) * 0.5;
    case 1001:
        return (c.ne + c.sw) * 0.5;
    case 1110:
        return c.se;
    case 1101:
        return c.sw;
    case 1011:
        return c.ne;
    case 111:
        return c.nw;
    default:
        return 0;
    }
}

int MaskStatus(int mask)
{
    switch (mask) {
    case 0:
        return 0;
    case 1000:
    case 100:
    case 10:
    case 1:
        return -1;
    case 1110:
    case 1101:
    case 1011:
    case 111:
        return -3;
    default:
        return -2;
    }
}

int InterpolateCorners(InputFile& file, const GridHeader& h, const LookupRequest& request,
                       const GridCell& nearest, double nearestLat, double nearestLon,
                       PointConstants& result)
{
    // The cell: the grid points around the request, one of them the nearest.
    int c0 = nearest.column, c1 = nearest.column + 1;
    int r0 = nearest.row, r1 = nearest.row + 1;
    if (request.longitude < nearestLon) {
        c0 = nearest.column - 1;
        c1 = nearest.column;
    }
    if (request.latitude > nearestLat) {
        r0 = nearest.row - 1;
        r1 = nearest.row;
    }
    // On the east or south edge the request lies on the last column or row: use the cell
    // inside the grid, which has the request on its far side (fraction exactly 1). A grid one
    // point wide uses that point twice with weight 0 on the second.
    bool fxIsOne = false, fyIsOne = false;
    if (c1 > h.ncols) {
        if (h.ncols >= 2) {
            c0 = h.ncols - 1;
            c1 = h.ncols;
            fxIsOne = true;
        } else {
            c1 = c0;
        }
    }
    if (r1 > h.nrows) {
        if (h.nrows >= 2) {
            r0 = h.nrows - 1;
            r1 = h.nrows;
            fyIsOne = true;
        } else {
            r1 = r0;
        }
    }
    if (c0 < 1) {
        c0 = 1;
        c1 = h.ncols >= 2 ? 2 : 1;
    }
    if (r0 < 1) {
        r0 = 1;
        r1 = h.nrows >= 2 ? 2 : 1;
    }

    const GridCell cells[4] = {{c0, r0}, {c1, r0}, {c0, r1}, {c1, r1}};
    constexpr int maskBits[4] = {1000, 100, 10, 1};
    static PointConstants corner[4];  // one engine state, calls never overlap
    int mask = 0;
    bool present[4] = {};
    for (int k = 0; k < 4; ++k) {
        const bool isNearest = cells[k].column == nearest.column && cells[k].row == nearest.row;
        const int status = ReadRecord(file, h, cells[k], isNearest, kCornerMessages, corner[k]);
        if (status != 0)
            return status;
        if (Availability(corner[k]) != 0) {
            if (isNearest)
                return 12;
            mask += maskBits[k];
        } else {
            present[k] = true;
        }
    }

    double northLat = 0, westLon = 0;
    GridCellToPosition(h, c0, r0, northLat, westLon);
    double fy = (northLat - request.latitude) / h.dLat;
    double fx = (request.longitude - westLon) / h.dLong;
    if (fyIsOne)
        fy = 1.0;
    if (fxIsOne)
        fx = 1.0;
    if (!(fx >= 0.0 && fx <= 1.0) || !(fy >= 0.0 && fy <= 1.0))
        return 13;

    auto combinePair = [&](int i, auto amp, auto phase, double& outAmp, double& outPhase) {
        Corners cs{}, ss{};
        double* cp[4] = {&cs.nw, &cs.ne, &cs.sw, &cs.se};
        double* sp[4] = {&ss.nw, &ss.ne, &ss.sw, &ss.se};
        for (int k = 0; k < 4; ++k) {
            if (!present[k])
                continue;
            const double a = (corner[k].*amp)[i];
            const double g = (corner[k].*phase)[i] * kDegToRad;
            *cp[k] = a * std::cos(g);
            *sp[k] = a * std::sin(g);
        }
        const double C = Combine(mask, fx, fy, cs);
        const double S = Combine(mask, fx, fy, ss);
        outAmp = std::sqrt(C * C + S * S);
        outPhase = std::atan2(S, C) * kRadToDeg;
    };
    for (int i = 0; i < h.nconst; ++i) {
        combinePair(i, &PointConstants::heightAmp, &PointConstants::heightPhase,
                    result.heightAmp[i], result.heightPhase[i]);
        combinePair(i, &PointConstants::uAmp, &PointConstants::uPhase, result.uAmp[i],
                    result.uPhase[i]);
        combinePair(i, &PointConstants::vAmp, &PointConstants::vPhase, result.vAmp[i],
                    result.vPhase[i]);
    }
    return MaskStatus(mask);
}

} // namespace

int ReadHarmonicsHeader(const char* path, GridHeader& header)
{
    InputFile file(path);
    if (!file.isOpen())
        return 1;

    unsigned char fixed[kFixedHeaderSize];
    if (!file.read(fixed, sizeof fixed))
        return 1;
    GridHeader h;
    std::memcpy(&h.nrows, fixed + 0, 4);
    std::memcpy(&h.ncols, fixed + 4, 4);
    std::memcpy(&h.north, fixed + 8, 8);
    std::memcpy(&h.west, fixed + 16, 8);
    std::memcpy(&h.dLat, fixed + 24, 8);
    std::memcpy(&h.dLong, fixed + 32, 8);
    std::memcpy(&h.nconst, fixed + 40, 4);

    if (h.nrows < 1 || h.ncols < 1 || h.nconst < 1 || h.nconst > kConstituentCount)
        return 1;
    if (!std::isfinite(h.north) || !std::isfinite(h.west) || !std::isfinite(h.dLat) ||
        !std::isfinite(h.dLong) || !(h.dLat > 0) || !(h.dLong > 0))
        return 1;
    std::int32_t numbers[kConstituentCount];
    if (!file.read(numbers, sizeof(std::int32_t) * static_cast<std::size_t>(h.nconst)))
        return 1;
    for (int i = 0; i < h.nconst; ++i) {
        if (numbers[i] < 1 || numbers[i] > kConstituentCount)
            return 1;
        h.numbers[i] = numbers[i];
    }
    h.headerSize = kFixedHeaderSize + 4 * static_cast<std::int64_t>(h.nconst);
    h.recordSize = 16 + 48 * static_cast<std::int64_t>(h.nconst);

    // Every record the header promises must be there (the product cannot overflow: both
    // factors are below 2^31).
    const std::int64_t size = file.size();
    if (size < h.headerSize)
        return 1;
    const std::int64_t points = static_cast<std::int64_t>(h.nrows) * h.ncols;
    if ((size - h.headerSize) / h.recordSize < points)
        return 1;

    header = h;
    return 0;
}

long long RoundHalfAway(double x)
{
    const double r = x >= 0 ? x + 0.5 : x - 0.5;
    // Callers pass values inside the grid; keep anything else defined.
    if (!(r > -9.0e18 && r < 9.0e18))
        return 0;
    return static_cast<long long>(r);
}

GridCell PositionToGridCell(const GridHeader& h, double latitude, double longitude)
{
    long long column = RoundHalfAway((longitude - h.west) / h.dLong + 1);
    long long row = RoundHalfAway((h.north - latitude) / h.dLat + 1);
    column = column < 1 ? 1 : (column > h.ncols ? h.ncols : column);
    row = row < 1 ? 1 : (row > h.nrows ? h.nrows : row);
    return {static_cast<int>(column), static_cast<int>(row)};
}

void GridCellToPosition(const GridHeader& h, int column, int row, double& latitude,
                        double& longitude)
{
    latitude = h.north - (row - 1) * h.dLat;
    longitude = h.west + (column - 1) * h.dLong;
}

int CheckRange(const GridHeader& h, double latitude, double longitude)
{
    if (!(longitude >= h.west && longitude <= h.east()))
        return 3;
    if (!(latitude <= h.north && latitude >= h.south()))
        return 4;
    return 0;
}

int ReadExtraBlock(const GridHeader& h, const char* extraPath, const GridCell& cell,
                   std::array<double, 16>& block)
{
    InputFile file(extraPath);
    if (!file.isOpen())
        return 1;
    const std::int64_t offset =
        ((static_cast<std::int64_t>(cell.row) - 1) * h.ncols + cell.column) * kExtraBlockSize;
    if (!file.seek(offset)) {
        ShowMessageBox("Error in fseek() of Extra Data Set");
        return 5;
    }
    if (!file.read(block.data(), sizeof(double) * block.size())) {
        ShowMessageBox("Error in fread() of Extra Data.");
        return 6;
    }
    double lat = 0, lon = 0;
    GridCellToPosition(h, cell.column, cell.row, lat, lon);
    if (!Within(block[0], lat, 0.1 * h.dLat) || !Within(block[1], lon, 0.1 * h.dLong)) {
        ShowMessageBox("Problem with the lat,lng calculation or extra data read");
        return 7;
    }
    return 0;
}

int LoadGridPointConstants(const GridHeader& h, const LookupRequest& request, PointData& point)
{
    const int range = CheckRange(h, request.latitude, request.longitude);
    if (range != 0)
        return range;

    const GridCell nearest = PositionToGridCell(h, request.latitude, request.longitude);
    GridCellToPosition(h, nearest.column, nearest.row, point.gridLatitude, point.gridLongitude);

    point.z0 = point.u0 = point.v0 = 0;
    if (request.extraPath) {
        std::array<double, 16> block{};
        const int status = ReadExtraBlock(h, request.extraPath, nearest, block);
        if (status != 0)
            return status;
        point.z0 = ExtraValue(block[2]);
        point.u0 = ExtraValue(block[3]);
        point.v0 = ExtraValue(block[4]);
    }

    InputFile file(request.harmonicsPath);
    if (!file.isOpen()) {
        ShowMessageBox("Harmonics data file missing");
        return 1;
    }

    if (request.mode == 0) {
        const int status = ReadRecord(file, h, nearest, true, kNearestMessages, point.constants);
        if (status != 0)
            return status;
        point.availability = Availability(point.constants);
        if (point.availability == (kNoHeight | kNoStream))
            return 8;
        return 0;
    }

    const int status = InterpolateCorners(file, h, request, nearest, point.gridLatitude,
                                          point.gridLongitude, point.constants);
    // Every corner that entered the result had height and stream data.
    if (status <= 0)
        point.availability = 0;
    return status;
}

int CheckGridPoint(const GridHeader& h, const char* harmonicsPath, double latitude,
                   double longitude)
{
    const int range = CheckRange(h, latitude, longitude);
    if (range != 0)
        return range;
    const GridCell cell = PositionToGridCell(h, latitude, longitude);
    InputFile file(harmonicsPath);
    if (!file.isOpen()) {
        ShowMessageBox("Harmonics data file missing");
        return 1;
    }
    static PointConstants constants;
    const int status = ReadRecord(file, h, cell, true, kNearestMessages, constants);
    if (status != 0)
        return status;
    return Availability(constants) == (kNoHeight | kNoStream) ? 8 : 0;
}

} // namespace ebc
