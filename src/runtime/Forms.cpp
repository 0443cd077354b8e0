#include "runtime/Forms.h"

#include <algorithm>

namespace glimra {

void FormsCollection::Add(Form* form) {
  if (!Contains(form)) forms_.push_back(form);
}

void FormsCollection::Remove(Form* form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
}

bool FormsCollection::Contains(const Form* form) const {
  return std::find(forms_.begin(), forms_.end(), form) != forms_.end();
}

FormsCollection& Forms() {
  static FormsCollection forms;
  return forms;
}

void UnloadAllForms(FormsCollection& forms) {
  while (forms.Count() >= 1) {
    Form* newest = forms.Item(forms.Count() - 1);
    try {
      newest->Unload();
    } catch (...) {
      // ending goes on whatever one form does
    }
    forms.Remove(newest);
  }
}

}  // namespace glimra
