// The artwork lives in the resource collection that CMake attaches to this library.
