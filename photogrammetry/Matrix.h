#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

namespace kadivo {

// A view of r×c doubles stored row by row, indexed from 1 on both axes as the toolkit's
// callers expect: a(1, 1) is the first element.
class MatrixRef {
public:
    MatrixRef(double* data, int stride) : data_(data), stride_(stride) {}
    double& operator()(int row, int column) const {
        return data_[static_cast<std::ptrdiff_t>(row - 1) * stride_ + (column - 1)];
    }
    double* data() const { return data_; }
    int stride() const { return stride_; }

private:
    double* data_;
    int stride_;
};

// A zeroed r×c matrix on the heap.
class Matrix {
public:
    Matrix(int rows, int columns)
        : rows_(rows), columns_(columns), values_(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns)) {}
    double& operator()(int row, int column) { return ref()(row, column); }
    double operator()(int row, int column) const { return const_cast<Matrix*>(this)->ref()(row, column); }
    MatrixRef ref() { return {values_.data(), columns_}; }
    operator MatrixRef() { return ref(); }
    void Clear() { std::fill(values_.begin(), values_.end(), 0.0); }
    int rows() const { return rows_; }
    int columns() const { return columns_; }

private:
    int rows_, columns_;
    std::vector<double> values_;
};

// A zeroed matrix of fixed size on the stack, for the small systems solved per point and frame.
template <int Rows, int Columns>
class StackMatrix {
public:
    double& operator()(int row, int column) { return ref()(row, column); }
    MatrixRef ref() { return {values_.data(), Columns}; }
    operator MatrixRef() { return ref(); }

private:
    std::array<double, static_cast<std::size_t>(Rows) * Columns> values_{};
};

// The new zeroed r×c matrix; it is released with its owner.
inline Matrix AllocMatrix(int rows, int columns) { return Matrix(rows, columns); }

}  // namespace kadivo
