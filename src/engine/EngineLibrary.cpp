// The engine library; its units live beside this file.
