// The forms collection: every loaded window of Glimra, in load order. The
// window runtime adds a form when it loads and removes it when it unloads;
// ending the program unloads them all, newest first.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace glimra {

class Form {
 public:
  virtual ~Form() = default;
  virtual std::string Name() const = 0;
  // Destroys the form's window and removes it from the collection.
  virtual void Unload() = 0;
};

class FormsCollection {
 public:
  void Add(Form* form);
  void Remove(Form* form);
  bool Contains(const Form* form) const;
  std::size_t Count() const { return forms_.size(); }
  Form* Item(std::size_t index) const { return forms_.at(index); }

 private:
  std::vector<Form*> forms_;
};

FormsCollection& Forms();

// Unloads the most recently loaded form until none is left. A form that
// stays in the collection after its Unload is dropped from it, so ending
// the program can never hang on one.
void UnloadAllForms(FormsCollection& forms = Forms());

}  // namespace glimra
