// The forms library; its units live beside this file.
