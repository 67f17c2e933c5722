#pragma once

// The tests' own writers of the published layouts of other programs' track files.

#include "TrackSet.h"

#include <hdf5.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace kadivo::test {

// Sample s of frame f.
using SampleOf = std::function<TrackSample(int frame, int part)>;

inline std::string Number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", static_cast<double>(value));
    return text;
}

inline std::string NumberOrEmpty(float value) { return std::isnan(value) ? std::string() : Number(value); }

// DeepLabCut's CSV of `frames` frames of the named parts.
inline std::string DeepLabCutCsv(const std::vector<std::string>& parts, int frames, const SampleOf& sample) {
    std::string scorer = "scorer", bodyparts = "bodyparts", coords = "coords";
    for (const std::string& part : parts) {
        scorer += ",DLC_resnet50,DLC_resnet50,DLC_resnet50";
        bodyparts += "," + part + "," + part + "," + part;
        coords += ",x,y,likelihood";
    }
    std::string text = scorer + "\n" + bodyparts + "\n" + coords + "\n";
    for (int f = 0; f < frames; ++f) {
        text += std::to_string(f);
        for (std::size_t p = 0; p < parts.size(); ++p) {
            const TrackSample s = sample(f, static_cast<int>(p));
            text += "," + NumberOrEmpty(s.x) + "," + NumberOrEmpty(s.y) + "," + NumberOrEmpty(s.likelihood);
        }
        text += "\r\n";
    }
    return text;
}

// DLTdv's xypts CSV with the parts seen by one camera.
inline std::string DltdvXypts(const std::vector<std::string>& parts, int frames, const SampleOf& sample) {
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : ",") + part + "_cam1_X," + part + "_cam1_Y";
    text += "\n";
    for (int f = 0; f < frames; ++f) {
        for (std::size_t p = 0; p < parts.size(); ++p) {
            const TrackSample s = sample(f, static_cast<int>(p));
            text += (p ? "," : "") + (std::isnan(s.x) ? std::string("NaN") : Number(s.x)) + "," +
                    (std::isnan(s.y) ? std::string("NaN") : Number(s.y));
        }
        text += "\n";
    }
    return text;
}

// One frame of OpenPose's JSON: the first person's triples, after a second person's that are
// all zero (OpenPose sorts people, but not for Kadivo's sake).
inline std::string OpenPoseFrame(int points, int frame, const SampleOf& sample, bool withPeople = true) {
    std::string keypoints;
    for (int p = 0; p < points; ++p) {
        const TrackSample s = sample(frame, p);
        const bool found = !std::isnan(s.x);
        keypoints += (p ? "," : "") + (found ? Number(s.x) : "0") + "," + (found ? Number(s.y) : "0") + "," +
                     (found ? Number(s.likelihood) : "0");
    }
    std::string second;
    for (int p = 0; p < points; ++p) second += p ? ",0,0,0" : "0,0,0";
    if (!withPeople) return "{\"version\":1.3,\"people\":[]}";
    return "{\"version\":1.3,\"people\":[{\"person_id\":[-1],\"pose_keypoints_2d\":[" + keypoints +
           "],\"face_keypoints_2d\":[]},{\"person_id\":[-1],\"pose_keypoints_2d\":[" + second + "]}]}";
}

inline void WriteDataset(hid_t where, const char* name, hid_t type, std::vector<hsize_t> shape, const void* data) {
    const hid_t space = H5Screate_simple(static_cast<int>(shape.size()), shape.data(), nullptr);
    const hid_t set = H5Dcreate2(where, name, type, space, H5P_DEFAULT, H5P_DEFAULT, H5P_DEFAULT);
    H5Dwrite(set, type, H5S_ALL, H5S_ALL, H5P_DEFAULT, data);
    H5Dclose(set);
    H5Sclose(space);
}

inline void WriteStringAttribute(hid_t object, const char* name, const std::string& text) {
    const hid_t type = H5Tcopy(H5T_C_S1);
    H5Tset_size(type, text.size() + 1);
    const hid_t space = H5Screate(H5S_SCALAR);
    const hid_t attribute = H5Acreate2(object, name, type, space, H5P_DEFAULT, H5P_DEFAULT);
    H5Awrite(attribute, type, text.c_str());
    H5Aclose(attribute);
    H5Sclose(space);
    H5Tclose(type);
}

// The column names as PyTables pickles them (protocol 0): a list of (scorer, part, coord)
// tuples, repeated texts taken from the memo as pickle does.
inline std::string PickledDeepLabCutColumns(const std::vector<std::string>& parts) {
    std::string pickle = "(lp0\n";
    int memo = 1;
    for (const std::string& part : parts)
        for (const char* coord : {"x", "y", "likelihood"}) {
            pickle += "(VDLC_resnet50\np" + std::to_string(memo) + "\nV" + part + "\np" + std::to_string(memo + 1) + "\nV" +
                      coord + "\np" + std::to_string(memo + 2) + "\ntp" + std::to_string(memo + 3) + "\na";
            memo += 4;
        }
    return pickle + ".";
}

// DeepLabCut's HDF5 file as pandas writes it in table form: the group "df_with_missing"
// with the table of (index, values_block_0) rows and the pickled column names. Frames for
// which `keep` is false are left out of the table.
inline void WriteDeepLabCutH5(const std::string& path, const std::vector<std::string>& parts, int frames, const SampleOf& sample,
                              const std::function<bool(int)>& keep = [](int) { return true; },
                              const std::string* pickle = nullptr) {
    const hsize_t width = 3 * parts.size();
    std::vector<unsigned char> rows;
    const std::size_t rowSize = sizeof(std::int64_t) + width * sizeof(double);
    hsize_t count = 0;
    for (int f = 0; f < frames; ++f) {
        if (!keep(f)) continue;
        std::vector<unsigned char> row(rowSize);
        const std::int64_t index = f;
        std::memcpy(row.data(), &index, sizeof index);
        for (std::size_t p = 0; p < parts.size(); ++p) {
            const TrackSample s = sample(f, static_cast<int>(p));
            const double triple[3] = {s.x, s.y, s.likelihood};
            std::memcpy(row.data() + sizeof index + 3 * p * sizeof(double), triple, sizeof triple);
        }
        rows.insert(rows.end(), row.begin(), row.end());
        ++count;
    }
    const hid_t file = H5Fcreate(path.c_str(), H5F_ACC_TRUNC, H5P_DEFAULT, H5P_DEFAULT);
    const hid_t group = H5Gcreate2(file, "df_with_missing", H5P_DEFAULT, H5P_DEFAULT, H5P_DEFAULT);
    const hid_t values = H5Tarray_create2(H5T_IEEE_F64LE, 1, &width);
    const hid_t row = H5Tcreate(H5T_COMPOUND, rowSize);
    H5Tinsert(row, "index", 0, H5T_STD_I64LE);
    H5Tinsert(row, "values_block_0", sizeof(std::int64_t), values);
    const hid_t space = H5Screate_simple(1, &count, nullptr);
    const hid_t table = H5Dcreate2(group, "table", row, space, H5P_DEFAULT, H5P_DEFAULT, H5P_DEFAULT);
    if (count > 0) H5Dwrite(table, row, H5S_ALL, H5S_ALL, H5P_DEFAULT, rows.data());
    WriteStringAttribute(table, "values_block_0_kind", pickle ? *pickle : PickledDeepLabCutColumns(parts));
    WriteStringAttribute(group, "pandas_type", "frame_table");
    H5Dclose(table);
    H5Sclose(space);
    H5Tclose(row);
    H5Tclose(values);
    H5Gclose(group);
    H5Fclose(file);
}

// SLEAP's analysis file of one track: tracks (1 × 2 × nodes × frames), node_names and
// point_scores.
inline void WriteSleapH5(const std::string& path, const std::vector<std::string>& nodes, int frames, const SampleOf& sample) {
    const hsize_t n = nodes.size(), f = static_cast<hsize_t>(frames);
    std::vector<double> tracks(2 * n * f), scores(n * f);
    for (hsize_t node = 0; node < n; ++node)
        for (hsize_t frame = 0; frame < f; ++frame) {
            const TrackSample s = sample(static_cast<int>(frame), static_cast<int>(node));
            tracks[(0 * n + node) * f + frame] = s.x;
            tracks[(1 * n + node) * f + frame] = s.y;
            scores[node * f + frame] = s.likelihood;
        }
    const hid_t file = H5Fcreate(path.c_str(), H5F_ACC_TRUNC, H5P_DEFAULT, H5P_DEFAULT);
    WriteDataset(file, "tracks", H5T_NATIVE_DOUBLE, {1, 2, n, f}, tracks.data());
    WriteDataset(file, "point_scores", H5T_NATIVE_DOUBLE, {1, n, f}, scores.data());
    const hid_t names = H5Tcopy(H5T_C_S1);
    H5Tset_size(names, H5T_VARIABLE);
    std::vector<const char*> texts;
    for (const std::string& node : nodes) texts.push_back(node.c_str());
    WriteDataset(file, "node_names", names, {n}, texts.data());
    H5Tclose(names);
    H5Fclose(file);
}

}  // namespace kadivo::test
