// The data library; its units live beside this file.
