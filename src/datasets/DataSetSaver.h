#pragma once

namespace vx {

// Saves every stored data set to a file the user chooses.
class DataSetSaver {
  public:
    virtual ~DataSetSaver() = default;
    virtual void SaveDataSets() = 0;
};

}  // namespace vx
